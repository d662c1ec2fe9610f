#!/usr/bin/env bash
# Builds a fresh demo machine and compares every category's rows with the expected
# tables in tools/demo-machine/expected/.
#   tools/demo-machine-check.sh BUILD_DIR [PREFIX]
# BUILD_DIR is an x86_64 build tree (scan_bench.exe and kelvo.dat); PREFIX defaults to
# BUILD_DIR/demo-wine and is made anew. Its wineserver is ended afterwards.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [PREFIX]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
prefix=${2:-$build/demo-wine}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
rm -rf "$prefix"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$here/demo-machine.sh" "$prefix" >/dev/null
bench=$build/tools/scan_bench.exe
db=$(winepath -w "$build/kelvo.dat")
out=$(mktemp -d)
failed=0
for type in 1 2 3 4 5 6 7 8 9 10; do
  args=()
  [ "$type" = 10 ] && args=('C:\Program Files\7-Zip' 'C:\PROGRAM FILES (X86)\Kakao' 'C:\Program Files\DAUM\PotPlayer' 'C:\Program Files (x86)')
  wine "$bench" --dump "$type" --db "$db" "${args[@]}" </dev/null >"$out/$type.tsv" 2>/dev/null
  if ! diff -u <(grep -v '^#' "$here/demo-machine/expected/category-$type.tsv") "$out/$type.tsv"; then
    echo "category $type differs from tools/demo-machine/expected/category-$type.tsv" >&2
    failed=1
  fi
done
rm -rf "$out"
[ $failed = 0 ] && echo "all categories match the expected rows"
exit $failed
