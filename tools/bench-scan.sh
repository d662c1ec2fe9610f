#!/usr/bin/env bash
# Times every category scan on machines with 300 and 3,000 uninstall entries, spread
# evenly over the three places programs register in (the machine's 64-bit and 32-bit
# views and the current user); nine in ten of the programs have their files on disk.
#   tools/bench-scan.sh BUILD_DIR
# BUILD_DIR is an x86_64 build tree with tools/scan_bench.exe. Each size gets a prefix of
# its own (BUILD_DIR/bench-wine-N, made anew) with a signature category 1 of 100
# exact-name and 100 fragment rows in its own database file. Per scan it prints the median
# time with its interquartile range and range, the rows listed, the registry reads per
# uninstall entry and the time spent in the 1 ms pauses (every category is run once untimed,
# then five times). The all-programs listing is compared with its floor in rounds of
# floor and listing in turn, at least 11 and as many as fit into a minute (medians, spread,
# the ratio of the medians). Then the ratio of the 3,000-entry medians to the 300-entry
# medians, and the machine's load average at the start and end of each size (the machine
# is shared: compare runs at similar load). The fragment rows are also timed with one
# enumeration of the uninstall root per row (--naive), for comparison.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
source "$here/wine-env.sh"
# The benchmark links the program's layers, which import the reporting library.
[ -f "$build/OlmaticPost.dll" ] && cp -f "$build/OlmaticPost.dll" "$build/tools/"
results=$(mktemp -d)
for n in 300 3000; do
  export WINEPREFIX=$build/bench-wine-$n
  rm -rf "$WINEPREFIX"
  "$here/wine-prefix.sh" ensure "$WINEPREFIX"
  data=$WINEPREFIX/bench-data
  python3 "$here/bench/make-bench-data.py" "$n" "$data" "$WINEPREFIX/drive_c"
  rm -f "$data/bench.dat"
  sqlite3 "$data/bench.dat" < "$data/bench.sql"
  wine64 regedit /S "$(wine64 winepath -w "$data/entries.reg")" >/dev/null 2>&1
  wineserver -w
  wineserver -p  # one server for the whole run, as in a test run
  echo "== N = $n"
  echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
  wine64 "$build/tools/scan_bench.exe" --bench --naive --db "$(wine64 winepath -w "$data/bench.dat")" </dev/null 2>&1 \
    | tee "$results/$n.txt"
  echo "load average at the end:   $(cut -d' ' -f1-3 /proc/loadavg)"
  wineserver -k || true
done
echo "== ratio N = 3000 / N = 300 of the times"
paste <(grep '^category' "$results/300.txt") <(grep '^category' "$results/3000.txt") | awk -F'\t' '{
  split($1, a, " ms"); split($2, b, " ms"); n = split(a[1], x, " "); m = split(b[1], y, " ");
  t1 = x[n]; t2 = y[m]; label = $1; sub(/:.*/, "", label); sub(/,.*/, "", label);
  if ($1 ~ /one enumeration per row/) label = label " (one enumeration per row)";
  printf "%-45s %8.1f ms -> %9.1f ms  x%.1f\n", label, t1, t2, (t1 > 0 ? t2 / t1 : 0) }'
rm -rf "$results"
