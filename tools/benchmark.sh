#!/usr/bin/env bash
# A report, not a test: the shipped programs' file sizes, the tray program's
# start-to-icon time and idle memory against a minimal window program built
# the same way, and the install click's synchronous part against bare file
# copies. Everything runs under Wine in a throwaway prefix in build/bench/,
# several times; medians are printed.
#
#   tools/benchmark.sh            (REPS=n for another number of repetitions)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
reps=${REPS:-5}
jobs=${JOBS:-2}
build=$root/build/win32
package=$build/package
bench=$root/build/bench
mkdir -p "$bench/out"

# ---- the package, from the project's own build ----
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset win32 >"$bench/out/configure.log" 2>&1
fi
cmake --build --preset win32 -j "$jobs" --target package >"$bench/out/build.log" 2>&1 ||
    { echo "build failed: see $bench/out/build.log" >&2; exit 1; }
shipped=(setupqv.exe Qvtray.exe load32.exe load64.exe i386/Qvkey.dll amd64/Qvkey.dll)
for f in "${shipped[@]}"; do
    [ -f "$package/$f" ] || { echo "missing $package/$f" >&2; exit 1; }
done

# ---- helper programs ----
cxx=i686-w64-mingw32-g++-posix
# The yardstick gets exactly the tray program's compile and link flags.
tray_flags=$(sed -n 's/^CXX_FLAGS = //p' "$build/CMakeFiles/qvtray.dir/flags.make" 2>/dev/null || true)
tray_defines=$(sed -n 's/^CXX_DEFINES = //p' "$build/CMakeFiles/qvtray.dir/flags.make" 2>/dev/null || true)
tray_flags=${tray_flags:--O2}
$cxx $tray_flags $tray_defines -mwindows -static -static-libgcc -static-libstdc++ \
    -o "$bench/minimal_window.exe" tools/bench/minimal_window.cpp
$cxx -O2 -static -std=c++20 -D_WIN32_WINNT=0x0601 -o "$bench/bench_probe.exe" tools/bench/bench_probe.cpp \
    -lpsapi -lshell32 -lole32
$cxx -O2 -static -std=c++20 -D_WIN32_WINNT=0x0601 -o "$bench/bare_copy.exe" tools/bench/bare_copy.cpp -lshell32

# ---- Wine: own prefix, own display when there is none ----
export WINEPREFIX=$bench/wineprefix
source tools/wine-env.sh
cleanup() {
    wine "$bench/bench_probe.exe" clean >/dev/null 2>&1 || true
    wine "$bench/bench_probe.exe" word off >/dev/null 2>&1 || true
    wineserver -k 2>/dev/null || true
    stop_display
}
trap cleanup EXIT
ensure_display
wine_prefix_ready

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
probe() { wine "$bench/bench_probe.exe" "$@"; }
value() { awk -v k="$1" '$1 == k { print $2 }' "$2"; }

# The Unix process of a Windows program of this prefix, by its image name.
unix_pid_of() {
    local name=$1 p cmd
    for p in /proc/[0-9]*; do
        cmd=$(tr '\0' '\n' 2>/dev/null <"$p/cmdline" | head -n 1) || continue
        [[ "${cmd,,}" == *"\\${name,,}" ]] || continue
        tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "${p#/proc/}"
        return 0
    done
    return 1
}

# One start of a program: start-to-window time and working set from the
# Windows side; private memory (Private_Clean + Private_Dirty) from /proc,
# because Wine reports no private bytes for another process.
measure_start() {  # exe title image-name result-file
    local exe=$1 title=$2 image=$3 result=$4
    local marker=$bench/out/hold.marker
    rm -f "$marker"
    probe start "$(winpath "$exe")" "$title" 3000 "$(winpath "$marker")" >"$result" 2>&1 &
    local job=$!
    for _ in $(seq 600); do [ -e "$marker" ] || ! kill -0 "$job" 2>/dev/null && break; sleep 0.1; done
    if [ -e "$marker" ]; then
        local pid
        if pid=$(unix_pid_of "$image"); then
            awk '/^Private_(Clean|Dirty):/ { kib += $2 } END { print "proc_private_kib", kib }' \
                "/proc/$pid/smaps_rollup" >>"$result"
            awk '/^VmRSS:/ { print "proc_rss_kib", $2 }' "/proc/$pid/status" >>"$result"
        fi
        rm -f "$marker"
    fi
    wait "$job" || true
    grep -q '^start_ms ' "$result" || { echo "no measurement for $exe:" >&2; cat "$result" >&2; exit 1; }
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s-%s", lo, hi }'; }

: >"$bench/out/tray.txt"
: >"$bench/out/minimal.txt"
: >"$bench/out/click.txt"
: >"$bench/out/bare.txt"
probe clean >/dev/null 2>&1
# A registered Word, so that the install makes all four shortcuts as the bare copy does.
probe word on 'C:\windows\notepad.exe' >/dev/null 2>&1
for i in $(seq "$reps"); do
    # Alternating order, so that a drift in the machine's load hits both sides.
    order=(tray minimal)
    [ $((i % 2)) -eq 0 ] && order=(minimal tray)
    for which in "${order[@]}"; do
        if [ "$which" = tray ]; then
            measure_start "$package/Qvtray.exe" "BRevok Cyrillic Keyboard Layout" Qvtray.exe "$bench/out/r.txt"
        else
            measure_start "$bench/minimal_window.exe" "Brevok Bench Minimal Window" minimal_window.exe "$bench/out/r.txt"
        fi
        cat "$bench/out/r.txt" >>"$bench/out/$which.txt"
    done

    probe click "$(winpath "$package/setupqv.exe")" >"$bench/out/r.txt" 2>&1 || true
    grep -q '^click_ms ' "$bench/out/r.txt" || { echo "install click failed:" >&2; cat "$bench/out/r.txt" >&2; exit 1; }
    cat "$bench/out/r.txt" >>"$bench/out/click.txt"
    probe clean >/dev/null 2>&1
    wine "$bench/bare_copy.exe" "$(winpath "$package")" >"$bench/out/r.txt" 2>&1 ||
        { echo "bare copy failed:" >&2; cat "$bench/out/r.txt" >&2; exit 1; }
    cat "$bench/out/r.txt" >>"$bench/out/bare.txt"
    probe clean >/dev/null 2>&1
done

col() { value "$1" "$bench/out/$2.txt"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

echo "Brevok Russian Keyboard: benchmark ($(wine --version 2>/dev/null), $reps repetitions, medians)"
echo
echo "Shipped files (bytes)"
for f in "${shipped[@]}"; do printf '  %-18s %10d\n' "$f" "$(stat -c %s "$package/$f")"; done
printf '  %-18s %10d  (yardstick, not shipped)\n' minimal_window.exe "$(stat -c %s "$bench/minimal_window.exe")"
echo
echo "Tray program against the minimal window program"
printf '  %-30s %12s %12s %7s   %s\n' measure Qvtray.exe minimal ratio "range (Qvtray / minimal)"
for m in start_ms:"start to window (ms)" working_set_kib:"working set (KiB)" proc_private_kib:"private bytes (KiB)"; do
    key=${m%%:*} label=${m#*:}
    a=$(col "$key" tray | median) b=$(col "$key" minimal | median)
    printf '  %-30s %12s %12s %7s   %s / %s\n' "$label" "$a" "$b" "$(ratio "$a" "$b")" \
        "$(col "$key" tray | range)" "$(col "$key" minimal | range)"
done
echo "  (working set: GetProcessMemoryInfo after 3 s; private bytes: Private_Clean + Private_Dirty of the"
echo "   Wine process in /proc, as Wine reports no private bytes for another process)"
echo
echo "Install click, synchronous part"
a=$(col click_ms click | median) b=$(col copy_ms bare | median)
printf '  %-30s %12s %12s %7s   %s\n' measure setupqv.exe "bare copy" ratio "range (setupqv / bare)"
printf '  %-30s %12s %12s %7s   %s / %s\n' "click to please-wait (ms)" "$a" "$b" "$(ratio "$a" "$b")" \
    "$(col click_ms click | range)" "$(col copy_ms bare | range)"
printf '  shortcut files made by the click: %s (of 4); setup exit codes: %s\n' \
    "$(col links click | sort -u | tr '\n' ' ' | sed 's/ $//')" "$(col setup_exit click | sort -u | tr '\n' ' ' | sed 's/ $//')"
