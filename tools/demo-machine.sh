#!/usr/bin/env bash
# Prepares a Wine prefix as a lived-in Korean Windows PC for trying and checking the
# scanners: uninstall entries of every kind (installer products with their product cache,
# per-user entries, hotfixes, system components, entries without names, quoted and
# unquoted commands), products of every signature category of kelvo.dat, Internet
# Explorer add-ons, start-up programs and shortcuts, and downloaded ActiveX controls.
#
#   tools/demo-machine.sh PREFIX
#
# PREFIX is created when it does not exist (an existing prefix gets the data added).
# The rows each category should then show are in tools/demo-machine/expected/.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
source "$here/wine-env.sh"
export WINEPREFIX=$prefix

[ -f "$prefix/.tarnock-ready" ] || "$here/wine-prefix.sh" ensure "$prefix"
python3 "$here/demo-machine/machine.py" "$prefix/drive_c" "$prefix/demo-machine"
# The 64-bit regedit: the file names the 32-bit view's keys by their WOW6432Node paths.
wine64 regedit /S "$(wine64 winepath -w "$prefix/demo-machine/machine.reg")" >/dev/null 2>&1
wineserver -w
echo "demo machine ready in $prefix"
