#!/usr/bin/env bash
# Runs one Windows program under Wine (CMake's cross-compiling emulator).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
kovan_display
kovan_wine_prefix
exec wine "$@"
