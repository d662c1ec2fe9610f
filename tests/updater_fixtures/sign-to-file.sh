#!/usr/bin/env bash
# sign-to-file.sh KEY.pem FILE OUT: the release signature of FILE, written to OUT.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
"$here/tools/sign-release.sh" "$1" "$2" > "$3.tmp"
mv "$3.tmp" "$3"
