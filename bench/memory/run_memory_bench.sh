#!/usr/bin/env bash
# Resident memory of the editor with a large file open, beside the budget of
# 1.5 times the file plus an empty editor's own resident size.
#   run_memory_bench.sh WRENPAD FILE... [-- RUNS]
# Each run starts the editor on a private virtual display with a fresh
# configuration (no splash window, no session to restore), waits until its
# window is shown and its resident size has stayed put for two seconds, then
# reads VmRSS (now) and VmHWM (the peak while loading) from /proc and ends it.
# The first line is the editor without a file; the best (smallest) of RUNS
# runs is printed for each.
set -euo pipefail
wrenpad=$1
shift
files=()
runs=3
while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then runs=$2; break; fi
    files+=("$(realpath "$1")")
    shift
done

work=$(mktemp -d)
display=:$((70 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
export DISPLAY=$display

kb() { awk -v k="$1" '$1 == k":" { print $2 }' "/proc/$2/status"; }

# Prints "RSS_KB HWM_KB" for one start of the editor on the given file (or none).
measure() {
    local home="$work/home"
    rm -rf "$home"
    mkdir -p "$home/config/Orvane Applet" "$home/data" "$home/state" "$home/runtime"
    chmod 700 "$home/runtime"
    printf '[Wrenpad]\nVersion%%201.0\\bShowSplash=0\n' > "$home/config/Orvane Applet/Wrenpad.ini"
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
        XDG_RUNTIME_DIR=$home/runtime "$wrenpad" "$@" >/dev/null 2>&1 &
    local pid=$! last=0 same=0 rss=0 shown=0
    for _ in $(seq 600); do
        sleep 0.1
        [ -d "/proc/$pid" ] || { echo "the editor ended early" >&2; exit 1; }
        if [ $shown = 0 ]; then
            xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && shown=1
            continue
        fi
        rss=$(kb VmRSS "$pid")
        if [ $((rss - last)) -lt 256 ] && [ $((last - rss)) -lt 256 ]; then
            same=$((same + 1))
            [ $same -ge 20 ] && break
        else
            same=0
        fi
        last=$rss
    done
    local hwm
    hwm=$(kb VmHWM "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$rss $hwm"
}

best() {
    local b_rss=0 b_hwm=0 r
    for _ in $(seq "$runs"); do
        r=$(measure "$@")
        local rss=${r% *} hwm=${r#* }
        if [ $b_rss = 0 ] || [ "$rss" -lt $b_rss ]; then b_rss=$rss; fi
        if [ $b_hwm = 0 ] || [ "$hwm" -lt $b_hwm ]; then b_hwm=$hwm; fi
    done
    echo "$b_rss $b_hwm"
}

mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

echo "Resident memory of the editor (Release), best of $runs starts; load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-26s %8s | %9s %9s %9s %6s | %9s %6s\n' "file" "MB" "resident" "empty" "budget" "ratio" "peak" "ratio"
r=$(best)
empty=${r% *}
printf '%-26s %8s | %9s %9s %9s %6s | %9s %6s\n' "(none)" "-" "$(mb "$empty")" "$(mb "$empty")" "-" "-" \
    "$(mb "${r#* }")" "-"
for f in "${files[@]}"; do
    bytes=$(stat -c %s "$f")
    budget=$(awk -v b="$bytes" -v e="$empty" 'BEGIN { printf "%d", 1.5 * b / 1024 + e }')
    r=$(best "$f")
    rss=${r% *}
    hwm=${r#* }
    printf '%-26s %8s | %9s %9s %9s %5.2fx | %9s %5.2fx\n' "$(basename "$f")" "$(mb $((bytes / 1024)))" \
        "$(mb "$rss")" "$(mb "$empty")" "$(mb "$budget")" "$(awk -v a="$rss" -v b="$budget" 'BEGIN { print a / b }')" \
        "$(mb "$hwm")" "$(awk -v a="$hwm" -v b="$budget" 'BEGIN { print a / b }')"
done
echo "MB are MiB. budget: 1.5 x the file + the empty editor's resident size; ratio: resident"
echo "(or peak, VmHWM) over the budget, at most 1.00 to meet it."
