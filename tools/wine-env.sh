# Sourced by the Wine scripts: the environment of a throwaway prefix and the loaders.
#   TARNOCK_WINE64  the 64-bit loader: 64-bit programs and the 64-bit registry view
#   TARNOCK_WINE32  the 32-bit loader where this machine runs 32-bit programs, else empty
# Debian's /usr/bin/wine prefers the 32-bit loader once wine32 is installed, so 64-bit work
# never goes through it: `reg` and `regedit` of the 32-bit loader write the 32-bit view.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8

TARNOCK_WINE64=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then TARNOCK_WINE64=$candidate; break; fi
done
[ -n "$TARNOCK_WINE64" ] || { echo "wine-env: no 64-bit Wine loader (install wine64)" >&2; return 1 2>/dev/null || exit 1; }

# The 32-bit loader counts only when it really starts here: a kernel without 32-bit
# support refuses it with "Exec format error".
TARNOCK_WINE32=
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  TARNOCK_WINE32=/usr/lib/wine/wine
fi
export TARNOCK_WINE64 TARNOCK_WINE32
# Processes the 64-bit loader starts use it too, unless a 32-bit side exists to pick from.
[ -n "$TARNOCK_WINE32" ] || export WINELOADER=$TARNOCK_WINE64

# The loader for programs of one architecture (x86_64 or i686); fails when this machine
# cannot run that architecture.
tarnock_wine_loader() {
  case $1 in
    x86_64) echo "$TARNOCK_WINE64" ;;
    i686) [ -n "$TARNOCK_WINE32" ] || return 1; echo "$TARNOCK_WINE32" ;;
    *) echo "wine-env: unknown architecture $1" >&2; return 2 ;;
  esac
}

# Runs a program of the prefix's 64-bit side (reg, regedit, winepath, wineboot, ...).
wine64() { "$TARNOCK_WINE64" "$@"; }
# The loader that makes new prefixes: the 32-bit one where it runs, so that a new prefix
# gets a 32-bit side (SysWOW64, Program Files (x86), the 32-bit registry view).
wine_boot_loader() { if [ -n "$TARNOCK_WINE32" ]; then echo "$TARNOCK_WINE32"; else echo "$TARNOCK_WINE64"; fi; }
