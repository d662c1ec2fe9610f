#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs every test under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${TARNOCK_BUILD_ROOT:-$here/build}
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh"
ctest --test-dir "$out/x86_64" --output-on-failure --timeout 600
