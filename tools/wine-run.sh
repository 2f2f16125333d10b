#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's prefix (CTest's emulator).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_prefix_ready
exec wine "$@"
