#!/usr/bin/env bash
# Types Japanese into the editor through a real input method, fcitx5 with
# mozc, and checks the Shift-JIS bytes that the editor saves.
#
#   bash scripts/check-ime.sh [EDITOR]
#
# EDITOR defaults to the editor of the test build (build/test/src/wrenpad),
# built here first. Run as root (or with sudo): the script installs its own
# packages, then runs a virtual display, a private D-Bus session, fcitx5 and
# the editor as the unprivileged user nobody, because mozc's server refuses to
# run as root (and fcitx5 then hangs and keys arrive raw). Everything runs in a
# PID namespace of its own, so everything it started ends with it.
#
# Case 1, "起動時にIMEﾓｰﾄﾞをONにする" off: the input method stays off when the
#   view takes the focus, so "a" arrives raw; then it is switched on
#   (fcitx5-remote -o), "nihongo" is typed, converted with Space and
#   committed with Return, and the file is saved with Ctrl+S.
#   Expected bytes: 61 93 fa 96 7b 8c ea ("a日本語").
# Case 2, the option on: the editor itself switches the input method on at
#   the view's first focus; "toukyou", Space, Return, Ctrl+S.
#   Expected bytes: 93 8c 8b 9e ("東京").
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
    exec sudo bash "$0" "$@"
fi

packages=(fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-x11 xvfb xdotool imagemagick)
missing=()
for pkg in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

editor=${1:-}
if [ -z "$editor" ]; then
    bash "$root/scripts/setup.sh"
    build="$root/build/test"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWRENPAD_SANITIZE=ON >/dev/null
    cmake --build "$build" -j "$(nproc)" --target wrenpad
    editor="$build/src/wrenpad"
fi
[ -x "$editor" ] || { echo "check-ime: no editor at $editor" >&2; exit 2; }

# The work folder belongs to nobody; the editor is copied into it, since the
# tree it was built in need not be readable by nobody.
work=$(mktemp -d /tmp/wrenpad-ime.XXXXXX)
cp "$editor" "$work/wrenpad"
mkdir -p "$work/home/.config/fcitx5" "$work/run"
chmod 700 "$work/run"
# One group: the US layout and mozc, so that switching on means mozc.
cat > "$work/home/.config/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF

cat > "$work/session.sh" <<'EOF'
set -euo pipefail
cd "$WORK"

fail() {
    echo "check-ime: FAILED: $*" >&2
    import -window root "$WORK/failure.png" 2>/dev/null && echo "check-ime: screen: $WORK/failure.png" >&2
    for log in "$WORK"/*.log; do echo "--- $log" >&2; tail -n 20 "$log" >&2; done
    exit 1
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local n=$1
    shift
    for ((i = 0; i < n; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

has_fcitx5() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true'
}
im_state() { fcitx5-remote; }
im_is_on() { [ "$(im_state)" = 2 ]; }
file_written() { [ -s "$1" ]; }

# A display of our own: Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
wait_for 100 test -s "$WORK/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$WORK/display")"
echo "check-ime: display $DISPLAY"

eval "$(dbus-launch --sh-syntax)"
export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
fcitx5 >"$WORK/fcitx5.log" 2>&1 &
# fcitx5-remote before fcitx5 owns its name would start a second one.
wait_for 300 has_fcitx5 || fail "fcitx5 did not come up on the session bus"

run_case() {
    local name=$1 ime_on=$2 raw=$3 romaji=$4 expect=$5
    local file="$WORK/$name.txt"
    mkdir -p "$HOME/.config/Orvane Applet"
    printf '[Wrenpad]\nVersion%%201.0\\bIMEModeON=%s\nVersion%%201.0\\bShowSplash=0\n' "$ime_on" \
        >"$HOME/.config/Orvane Applet/Wrenpad.ini"
    : >"$file"
    "$WORK/wrenpad" "$file" >"$WORK/$name.log" 2>&1 &
    local pid=$!
    local window=""
    find_window() { window=$(xdotool search --onlyvisible --name "$name.txt" 2>/dev/null | head -n 1); [ -n "$window" ]; }
    wait_for 300 find_window || fail "$name: no editor window"
    xdotool windowfocus --sync "$window"
    xdotool mousemove --window "$window" 300 200 click 1
    if [ "$ime_on" = 1 ]; then
        wait_for 150 im_is_on || fail "$name: the option did not switch the input method on (state $(im_state))"
        echo "check-ime: $name: the editor switched the input method on"
    else
        sleep 1
        [ "$(im_state)" != 2 ] || fail "$name: the input method is on though the option is off"
        xdotool type --delay 100 "$raw"
        fcitx5-remote -o
        wait_for 50 im_is_on || fail "$name: fcitx5-remote -o did not switch the input method on"
    fi
    sleep 0.5
    xdotool type --delay 120 "$romaji"
    sleep 1.5
    xdotool key space
    sleep 1
    xdotool key Return
    sleep 0.5
    xdotool key ctrl+s
    wait_for 100 file_written "$file" || fail "$name: nothing saved"
    sleep 0.5
    local got
    got=$(od -An -tx1 "$file" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')
    echo "check-ime: $name: typed ${raw:+\"$raw\" then }\"$romaji\", saved bytes: $got"
    [ "$got" = "$expect" ] || fail "$name: expected $expect"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

run_case option-off 0 a nihongo "61 93 fa 96 7b 8c ea"
run_case option-on 1 "" toukyou "93 8c 8b 9e"
echo "check-ime: passed"
EOF

chown -R 65534:65534 "$work"
status=0
unshare --pid --fork --kill-child --mount-proc \
    setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/bin:/bin WORK="$work" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 \
    bash "$work/session.sh" || status=$?
if [ "$status" -eq 0 ]; then
    rm -rf "$work"
else
    echo "check-ime: the work folder is kept: $work" >&2
fi
exit "$status"
