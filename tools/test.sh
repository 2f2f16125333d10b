#!/usr/bin/env bash
# Runs every test: the host tests (g++), the same tests cross-built for 32- and
# 64-bit Windows and run under Wine, and the end-to-end tests of the real
# programs under Wine. Installs what it needs first (Debian packages only).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh

jobs=${JOBS:-$(nproc)}
for preset in host win32 win64; do
    echo "== build: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

source tools/wine-env.sh
# A fresh prefix for every run, so no earlier run's install leaks in.
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_display
}
trap cleanup EXIT
ensure_display
wine_prefix_ready

status=0
for preset in host win32 win64; do
    echo "== test: $preset"
    ctest --preset "$preset" || status=1
done
exit $status
