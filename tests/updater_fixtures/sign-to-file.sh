#!/usr/bin/env bash
# sign-to-file.sh KEY.pem FILE OUT VERSION ARCH [FILESIZE]: the version page lines of a signed
# offer of FILE (Version, Arch, FileSize, SHA256, Signature), written to OUT. FILESIZE, when
# given, is signed in place of the file's real size (a number, or +N / -N relative to it): a
# signed offer whose size is wrong.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
key=$1 file=$2 out=$3 version=$4 arch=$5
real=$(stat -c %s "$file")
size=${6:-$real}
case $size in
  +*) size=$((real + ${size#+})) ;;
  -*) size=$((real - ${size#-})) ;;
esac
sha=$(sha256sum "$file" | cut -d' ' -f1)
statement=$(mktemp)
trap 'rm -f "$statement"' EXIT
printf 'Tarnock-Setup\nVersion=%s\nArch=%s\nFileSize=%s\nSHA256=%s\n' "$version" "$arch" "$size" "$sha" > "$statement"
signature=$("$here/tools/sign-release.sh" --statement "$key" "$statement")
printf 'Version=%s\r\nArch=%s\r\nFileSize=%s\r\nSHA256=%s\r\nSignature=%s\r\n' \
  "$version" "$arch" "$size" "$sha" "$signature" > "$out.tmp"
mv "$out.tmp" "$out"
