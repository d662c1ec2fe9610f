#!/usr/bin/env bash
# Installs what building and testing Tarnock needs on a Debian 12 machine.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${TARNOCK_CACHE:-$here/.cache}

pkgs=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-x86-64
      binutils-mingw-w64-i686 wine wine64 xvfb locales fonts-nanum imagemagick sqlite3 googletest
      cmake ninja-build python3 python3-pil x11-utils openssl wixl msitools zip unzip nlohmann-json3-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Windows programs need Wine's 32-bit side, which runs only where the kernel runs
# 32-bit programs: find out with a tiny 32-bit Linux program (exit(0)) before installing it.
probe=$(mktemp)
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' > "$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    echo "setup: installing wine32 (this machine runs 32-bit programs)"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
  fi
else
  echo "setup: this machine cannot run 32-bit programs: wine32 is not installed, the i686 tests will be skipped"
fi
rm -f "$probe"

# Korean locale: GetACP() under Wine is 949 only with LANG=ko_KR.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  echo "setup: generating ko_KR.UTF-8"
  sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# npm fetches the pinned SQLite package; machines with their own Node.js keep theirs.
command -v npm >/dev/null || { apt-get install -y -qq --no-install-recommends npm >/dev/null; }

# SQLite amalgamation, pinned and verified, kept out of the tracked tree.
sqlite_dir=$cache/sqlite
want=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
if [ ! -f "$sqlite_dir/sqlite3.c" ] || [ ! -f "$sqlite_dir/sqlite3.h" ]; then
  echo "setup: fetching the SQLite amalgamation"
  tmp=$(mktemp -d)
  (cd "$tmp" && npm pack --silent better-sqlite3@12.11.1 >/dev/null)
  tgz=$(ls "$tmp"/better-sqlite3-*.tgz)
  got=$(sha256sum "$tgz" | cut -d' ' -f1)
  if [ "$got" != "$want" ]; then echo "setup: checksum mismatch for $tgz ($got)" >&2; exit 1; fi
  tar -xzf "$tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  mkdir -p "$sqlite_dir"
  mv "$tmp"/package/deps/sqlite3/sqlite3.[ch] "$sqlite_dir"/
  rm -rf "$tmp"
fi
echo "setup: ready"
