#!/usr/bin/env bash
# Manages the throwaway Wine prefix and the Xvfb display of one build tree.
#   wine-prefix.sh fresh PREFIX [--populate SCRIPT]
#                                 new prefix, persistent wineserver and Xvfb for one test run;
#                                 SCRIPT PREFIX fills the new prefix before the wineserver stays
#   wine-prefix.sh ensure PREFIX  create the prefix only when it does not exist (test discovery)
#   wine-prefix.sh stop PREFIX    end the wineserver and the Xvfb of that prefix
# Nothing outside PREFIX is written; ~/.wine is never touched.
set -euo pipefail
action=$1
prefix=$2
populate=
if [ $# -ge 4 ] && [ "$3" = --populate ]; then populate=$4; fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
export WINEPREFIX=$prefix

stop() {
  if [ -d "$prefix" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -f "$prefix.xvfb.pid" ]; then
    kill "$(cat "$prefix.xvfb.pid")" >/dev/null 2>&1 || true
    rm -f "$prefix.xvfb.pid" "$prefix.display"
  fi
}

create() {
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # Made by the 32-bit loader where it runs: the prefix then has a 32-bit side.
  "$(wine_boot_loader)" wineboot -i >/dev/null 2>&1
  wineserver -w
  # A crashing test must fail, not wait for a click on the crash dialog.
  wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Hangul faces for the dialog and list fonts.
  # regedit reads Hangul value names only from a UTF-16 file.
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$here/wine-fonts.reg.in"; } > "$prefix/fonts.reg"
  wine64 regedit /S "$(wine64 winepath -w "$prefix/fonts.reg")" >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.tarnock-ready"
}

start_display() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" </dev/null >/dev/null 2>&1 &
  echo $! > "$prefix.xvfb.pid"
  for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  echo ":$(tr -d '\n' < "$fd_file")" > "$prefix.display"
  rm -f "$fd_file"
}

case $action in
  fresh)
    stop
    create
    # Before the persistent wineserver: the script may wait for the server to end.
    if [ -n "$populate" ]; then "$populate" "$prefix" >/dev/null; fi
    start_display
    wineserver -p >/dev/null 2>&1 </dev/null
    ;;
  ensure)
    exec 9>"$prefix.lock"
    flock 9
    [ -f "$prefix/.tarnock-ready" ] || create
    ;;
  stop)
    stop
    ;;
  *) echo "usage: $0 fresh PREFIX [--populate SCRIPT] | ensure PREFIX | stop PREFIX" >&2; exit 2 ;;
esac
