# Sourced by the scripts that run Windows programs under Wine. Keeps every run
# in a throwaway prefix inside the build folder, never the user's ~/.wine.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; Start-menu shortcuts must not become .desktop files.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}

# Creates the prefix once: boots it, draws window frames without a window
# manager, and turns the links to the real home folder into plain folders so
# that desktop shortcuts stay inside the prefix.
wine_prefix_ready() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/.brevok-ready" ] && exit 0
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates}; do
            if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
        done
        wineserver -w
        touch "$WINEPREFIX/.brevok-ready"
    ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb when there is no display; sets started_xvfb to its pid.
started_xvfb=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    local n
    for n in $(seq 90 110); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            started_xvfb=$!
            export DISPLAY=":$n"
            for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
            echo "Xvfb did not start on :$n" >&2
            return 1
        fi
    done
    echo "no free display number for Xvfb" >&2
    return 1
}

# Stops only what ensure_display started.
stop_display() {
    if [ -n "$started_xvfb" ]; then kill "$started_xvfb" 2>/dev/null || true; wait "$started_xvfb" 2>/dev/null || true; fi
    started_xvfb=""
}
