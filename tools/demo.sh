#!/usr/bin/env bash
# The main job: builds the shipped 32-bit programs, assembles the package
# folder and starts setupqv.exe from it under Wine in a fresh prefix.
# With a display you click yourself; without one it runs under Xvfb, acts as
# the user and saves screenshots into build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)"
cmake --build --preset win32 --target package

package="$PWD/build/win32/package"
shots="$PWD/build/demo"
mkdir -p "$shots"

export WINEPREFIX="$PWD/build/demo-prefix"
source tools/wine-env.sh
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_display
}
trap cleanup EXIT
ensure_display
echo "preparing a fresh Wine prefix in $WINEPREFIX"
wine_prefix_ready

user="build/win32/tests/wine/demo_user.exe"
# A picture of one window, found by the start of its title (Xvfb has no
# window manager to stack a root picture reliably).
shot() {
    local id
    id=$(xwininfo -root -tree | grep -F "\"$2" | head -n 1 | awk '{print $1}')
    if [ -n "$id" ] && xwd -id "$id" -silent | convert xwd:- "$shots/$1.png"; then
        echo "screenshot: $shots/$1.png"
    else
        echo "no window \"$2\" to take a picture of" >&2
    fi
}

echo "starting $package/setupqv.exe"
cd "$package"
wine setupqv.exe >"$shots/setupqv.log" 2>&1 &
setup_pid=$!
cd - >/dev/null

if [ "$headless" = 0 ]; then
    echo "the installer window is open: click as you like; this ends when it closes"
    wait "$setup_pid" || true
    exit 0
fi

# No display: act as the user would, and keep pictures of what was seen.
title="Installing now Brevok Russian Keyboard layout"
wine "$user" wait "$title" 60
sleep 1
shot installer "$title"
wine "$user" click "$title" "Click Here to Install"
wine "$user" wait-label "INSTALLING. PLEASE WAIT" 30
sleep 1
shot please-wait "Microsoft "
wine "$user" wait "Installation Complete" 120
# The please-wait window goes on the next Tick, while the control panel starts.
sleep 3
shot complete "Installation Complete"
wine "$user" click "Installation Complete" "Close"
wait "$setup_pid" || true
echo "setupqv.exe ended"

wine "$user" show-tray
sleep 1
shot tray "BRevok Cyrillic Keyboard Layout"
wine "$user" hide-tray || true

echo
echo "== What the install left behind"
wine "$user" report
