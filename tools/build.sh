#!/usr/bin/env bash
# Configures and builds both architectures with their tests: build/x86_64 and build/i686.
# Where this machine cannot run 32-bit programs, the i686 tests are built but not run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${TARNOCK_BUILD_ROOT:-$here/build}
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
for arch in x86_64 i686; do
  cmake -S "$here" -B "$out/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch.cmake" \
        -DTARNOCK_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
done
for arch in x86_64 i686; do
  cmake --build "$out/$arch" -j "$jobs"
done
