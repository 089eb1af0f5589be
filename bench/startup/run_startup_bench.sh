#!/usr/bin/env bash
# Times the start of Wrenpad and of FeatherPad on the same 10 MB HTML file, in
# turn, on a private virtual display. Each editor starts with a fresh
# configuration of its own, as on a first start, but without Wrenpad's splash
# window (it is a second window, not the editor's picture).
#   run_startup_bench.sh TIMER WRENPAD WORKDIR [RUNS]
set -euo pipefail
timer=$1
wrenpad=$2
work=$(realpath -m "$3")
runs=${4:-7}

mkdir -p "$work"
page="$work/startup-page.html"
[ -f "$page" ] || "$timer" make-html "$page"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
export DISPLAY=$display

# A fresh home per editor, so that neither restores a session or a window size.
fresh() {
    local home="$work/home-$1"
    rm -rf "$home"
    mkdir -p "$home/config" "$home/data" "$home/runtime"
    chmod 700 "$home/runtime"
    echo "$home"
}

echo "Start-up to the finished first picture of $(basename "$page") ($(stat -c %s "$page") bytes, 200000 lines)"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"

home=$(fresh wrenpad)
mkdir -p "$home/config/Orvane Applet"
printf '[Wrenpad]\nVersion%%201.0\\bShowSplash=0\n' > "$home/config/Orvane Applet/Wrenpad.ini"
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
    "$timer" time Wrenpad "$runs" -- "$wrenpad" "$page"

if command -v featherpad >/dev/null; then
    home=$(fresh featherpad)
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
        "$timer" time FeatherPad "$runs" -- featherpad "$page"
else
    echo "FeatherPad is not installed (Debian package featherpad)"
fi
