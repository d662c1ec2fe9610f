#!/usr/bin/env bash
# Configures and builds both architectures: build/x86_64 (tested under Wine) and
# build/i686 (compiled and linked only; 32-bit code cannot run on these machines).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${TARNOCK_BUILD_ROOT:-$here/build}
jobs=$(nproc)
for arch in x86_64 i686; do
  tests=ON
  [ "$arch" = i686 ] && tests=OFF
  cmake -S "$here" -B "$out/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch.cmake" \
        -DTARNOCK_BUILD_TESTS=$tests -DCMAKE_BUILD_TYPE=Release >/dev/null
done
# The 64-bit tree first: its tests need it; the 32-bit one must link too.
cmake --build "$out/x86_64" -j "$jobs"
cmake --build "$out/i686" -j "$jobs"
