#!/usr/bin/env bash
# Prints the signature that the update server's version page carries as "Signature=":
# 128 hex digits, r and s of an ECDSA P-256 signature over the SHA-256 of the whole file,
# each as 32 big-endian bytes.
#   sign-release.sh KEY.pem FILE
set -euo pipefail
if [ $# -ne 2 ]; then echo "usage: $0 KEY.pem FILE" >&2; exit 2; fi
key=$1
file=$2
[ -r "$key" ] || { echo "sign-release: cannot read key $key" >&2; exit 1; }
[ -r "$file" ] || { echo "sign-release: cannot read $file" >&2; exit 1; }
der=$(mktemp)
trap 'rm -f "$der"' EXIT
openssl dgst -sha256 -sign "$key" -out "$der" "$file"
# The DER signature is SEQUENCE { INTEGER r, INTEGER s }; each integer may carry a leading
# zero byte or be shorter than 32 bytes.
mapfile -t ints < <(openssl asn1parse -inform DER -in "$der" | sed -n 's/.*INTEGER *:\([0-9A-Fa-f]*\).*/\1/p')
[ ${#ints[@]} -eq 2 ] || { echo "sign-release: unexpected signature format" >&2; exit 1; }
out=
for v in "${ints[@]}"; do
  v=${v,,}
  while [ ${#v} -gt 64 ] && [ "${v:0:2}" = 00 ]; do v=${v:2}; done
  while [ ${#v} -lt 64 ]; do v=0$v; done
  [ ${#v} -eq 64 ] || { echo "sign-release: integer too long" >&2; exit 1; }
  out+=$v
done
echo "$out"
