#!/usr/bin/env bash
# Builds a fresh demo machine and compares every category's rows with the expected
# tables in tools/demo-machine/expected/.
#   tools/demo-machine-check.sh BUILD_DIR [PREFIX [ARCH]]
# BUILD_DIR is a build tree (scan_bench.exe and kelvo.dat) of ARCH (x86_64, the default, or
# i686: the same tables read from a 32-bit process); PREFIX defaults to BUILD_DIR/demo-wine
# and is made anew. Its wineserver is ended afterwards.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [PREFIX]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
prefix=${2:-$build/demo-wine}
arch=${3:-x86_64}
source "$here/wine-env.sh"
export WINEPREFIX=$prefix
rm -rf "$prefix"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$here/demo-machine.sh" "$prefix" >/dev/null
bench=$build/tools/scan_bench.exe
db=$(wine64 winepath -w "$build/kelvo.dat")
out=$(mktemp -d)
failed=0
for type in 1 2 3 4 5 6 7 8 9 10; do
  args=()
  [ "$type" = 10 ] && args=('C:\Program Files\7-Zip' 'C:\PROGRAM FILES (X86)\Kakao' 'C:\Program Files\DAUM\PotPlayer' 'C:\Program Files (x86)')
  "$(tarnock_wine_loader "$arch")" "$bench" --dump "$type" --db "$db" "${args[@]}" </dev/null >"$out/$type.tsv" 2>/dev/null
  if ! diff -u <(grep -v '^#' "$here/demo-machine/expected/category-$type.tsv") "$out/$type.tsv"; then
    echo "category $type differs from tools/demo-machine/expected/category-$type.tsv" >&2
    failed=1
  fi
done
rm -rf "$out"
[ $failed = 0 ] && echo "all categories match the expected rows"
exit $failed
