#!/usr/bin/env bash
# Starts Kovan: natively on Windows builds, under Wine (own prefix) on Linux.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
kovan_display
kovan_wine_prefix
exec wine build/win64/bin/Kovan.exe "$@"
