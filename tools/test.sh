#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test under Wine: the
# x86_64 tree always, the i686 tree where this machine runs 32-bit programs (else its tests
# are reported as skipped). One area:  tools/test.sh -R '^scan'   (ctest arguments pass on).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${TARNOCK_BUILD_ROOT:-$here/build}
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh"
source "$here/tools/wine-env.sh"

failed=0
summary=()
total_passed=0
total_failed=0
run_tree() {
  local arch=$1; shift
  local log
  log=$(mktemp)
  local start=$SECONDS
  set +e
  ctest --test-dir "$out/$arch" --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" = 0 ] || failed=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -1)
  summary+=("$arch: ${line:-no result} ($((SECONDS - start)) s)")
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    total_failed=$((total_failed + BASH_REMATCH[1]))
    total_passed=$((total_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
  rm -f "$log"
}

run_tree x86_64 "$@"
if [ -n "$TARNOCK_WINE32" ]; then
  run_tree i686 "$@"
else
  summary+=("i686: SKIPPED: this machine cannot run 32-bit programs (no working wine32)")
  cat >&2 <<'BANNER'
#####################################################################################
#  SKIPPED: the i686 (32-bit) tests. This machine cannot run 32-bit programs, so     #
#  wine32 cannot start here; the i686 tree was built (programs and tests) but not    #
#  run. On a machine that runs 32-bit programs, tools/setup.sh installs wine32 and   #
#  this command runs them.                                                           #
#####################################################################################
BANNER
fi
printf '%s\n' "${summary[@]}"
echo "tests: $total_passed passed, $total_failed failed"
exit $failed
