#!/usr/bin/env bash
# Builds Tarnock and starts it under Wine in a demo prefix of its own (BUILD/demo-wine),
# on $DISPLAY when there is one, else on a private Xvfb display; saves a screenshot once
# the main window is up and prints where it is.
#   TARNOCK_BUILD_ROOT  build root (default: build/)
#   TARNOCK_DEMO_KEEP=1 with Xvfb: keep Tarnock running after the screenshot
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${TARNOCK_BUILD_ROOT:-$here/build}
prefix=$out/demo-wine
title="Tarnock (Tarnock) "

bash "$here/tools/setup.sh"
bash "$here/tools/build.sh"
exe=$out/x86_64/Tarnock.exe
[ -f "$exe" ] || { echo "run-demo: $exe was not built" >&2; exit 1; }

source "$here/tools/wine-env.sh"
export WINEPREFIX=$prefix
"$here/tools/wine-prefix.sh" stop "$prefix"
rm -rf "$prefix"
"$here/tools/wine-prefix.sh" ensure "$prefix"

# Demo data for the scans (installed programs, add-ons, start-up entries) when available.
# Before any display or persistent wineserver: the hook waits for the prefix's server to end.
if [ -x "$here/tools/demo-machine.sh" ]; then
  "$here/tools/demo-machine.sh" "$prefix"
fi

xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  DISPLAY=":$(tr -d '\n' < "$fd_file")"
  rm -f "$fd_file"
  export DISPLAY
fi
stop_display() {
  if [ -n "$xvfb_pid" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}

install_dir="$prefix/drive_c/Program Files/Tarnock"
mkdir -p "$install_dir"
cp "$exe" "$out/x86_64/kelvo.dat" "$out/x86_64/OlmaticPost.dll" "$install_dir/"
[ -f "$out/x86_64/TarnockUpdate.exe" ] && cp "$out/x86_64/TarnockUpdate.exe" "$install_dir/"

log=$out/demo-tarnock.log
wine64 "C:\\Program Files\\Tarnock\\Tarnock.exe" </dev/null >"$log" 2>&1 &
pid=$!

shown=0
for _ in $(seq 1 150); do
  if xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; then shown=1; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if [ $shown = 0 ]; then
  echo "run-demo: the main window did not appear (log: $log)" >&2
  kill "$pid" 2>/dev/null || true
  stop_display
  exit 1
fi
sleep 2  # first paint
mkdir -p "$out/screenshots"
shot=$out/screenshots/demo.png
import -window root "$shot"
echo "run-demo: screenshot saved to $shot"

if [ -n "$xvfb_pid" ] && [ "${TARNOCK_DEMO_KEEP:-0}" != 1 ]; then
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  stop_display
else
  echo "run-demo: Tarnock runs as process $pid on display $DISPLAY (prefix $prefix); end it with: kill $pid"
fi
