#!/usr/bin/env bash
# Signs a setup program for the update server. The signature covers the statement
#
#     Tarnock-Setup\nVersion=<version>\nArch=<x64|x86>\nFileSize=<bytes>\nSHA256=<64 hex>\n
#
# (LF line ends, the hash in lower case): the updater rebuilds it from the version page and
# installs only a setup whose statement is signed, for its own architecture, newer than the
# installed Tarnock, and whose bytes have that size and hash.
#
#   sign-release.sh KEY.pem SETUP.exe VERSION ARCH
#       prints the five lines of the version page: Version=, Arch=, FileSize=, SHA256=, Signature=
#   sign-release.sh --statement KEY.pem STATEMENT-FILE
#       prints only the signature of a statement written by hand (128 hex digits)
#
# The signature is r and s of an ECDSA P-256 signature over the SHA-256 of the statement,
# each as 32 big-endian bytes.
set -euo pipefail

usage() {
  echo "usage: $0 KEY.pem SETUP.exe VERSION x64|x86" >&2
  echo "       $0 --statement KEY.pem STATEMENT-FILE" >&2
  exit 2
}

# Prints the r||s signature of file $2 under key $1.
sign_file() {
  local key=$1 file=$2 der
  der=$(mktemp)
  openssl dgst -sha256 -sign "$key" -out "$der" "$file"
  # The DER signature is SEQUENCE { INTEGER r, INTEGER s }; each integer may carry a leading
  # zero byte or be shorter than 32 bytes.
  local ints
  mapfile -t ints < <(openssl asn1parse -inform DER -in "$der" | sed -n 's/.*INTEGER *:\([0-9A-Fa-f]*\).*/\1/p')
  rm -f "$der"
  [ ${#ints[@]} -eq 2 ] || { echo "sign-release: unexpected signature format" >&2; exit 1; }
  local out= v
  for v in "${ints[@]}"; do
    v=${v,,}
    while [ ${#v} -gt 64 ] && [ "${v:0:2}" = 00 ]; do v=${v:2}; done
    while [ ${#v} -lt 64 ]; do v=0$v; done
    [ ${#v} -eq 64 ] || { echo "sign-release: integer too long" >&2; exit 1; }
    out+=$v
  done
  echo "$out"
}

if [ "${1:-}" = --statement ]; then
  [ $# -eq 3 ] || usage
  [ -r "$2" ] || { echo "sign-release: cannot read key $2" >&2; exit 1; }
  [ -r "$3" ] || { echo "sign-release: cannot read $3" >&2; exit 1; }
  sign_file "$2" "$3"
  exit 0
fi

[ $# -eq 4 ] || usage
key=$1
file=$2
version=$3
arch=$4
[ -r "$key" ] || { echo "sign-release: cannot read key $key" >&2; exit 1; }
[ -r "$file" ] || { echo "sign-release: cannot read $file" >&2; exit 1; }
[[ $version =~ ^[0-9]{1,5}(\.[0-9]{1,5}){0,3}$ ]] || { echo "sign-release: version $version is not 1 to 4 numbers" >&2; exit 1; }
[ "$arch" = x64 ] || [ "$arch" = x86 ] || { echo "sign-release: architecture must be x64 or x86" >&2; exit 1; }
size=$(stat -c %s "$file")
sha=$(sha256sum "$file" | cut -d' ' -f1)
statement=$(mktemp)
trap 'rm -f "$statement"' EXIT
printf 'Tarnock-Setup\nVersion=%s\nArch=%s\nFileSize=%s\nSHA256=%s\n' "$version" "$arch" "$size" "$sha" > "$statement"
signature=$(sign_file "$key" "$statement")
printf 'Version=%s\nArch=%s\nFileSize=%s\nSHA256=%s\nSignature=%s\n' "$version" "$arch" "$size" "$sha" "$signature"
