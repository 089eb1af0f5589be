# Sourced by the scripts that drive the editor on a virtual display
# (check-recovery.sh, help-shots.sh): a private work folder with fresh
# configuration, data, state and runtime folders, an Xvfb of its own, the
# editor started and killed, and windows waited for by name. Everything
# started here is stopped, and the work folder removed, when the script exits.
#
#   source "$root/scripts/xvfb-lib.sh"
#   xvfb_require TOOL...               exits 2 when a tool is missing
#   xvfb_session NAME :N WxHxD [DIR...]
#       makes the work folder $work, /tmp/wrenpad-NAME.XXXXXX (config, data, state, run
#       and the DIRs), points the XDG folders there, starts Xvfb on :N and
#       waits until it answers
#   editor_start LOG EDITOR [ARGS...]  runs the editor, its output added to LOG
#   editor_stop                        kills it at once (SIGKILL), as a crash would
#   wait_window TITLE [SECONDS]        the first visible window whose name
#                                      matches TITLE (a pattern), or fails
# Messages start with the name of the script that sources this.

work=
xvfb_pid=
editor_pid=
xvfb_who=$(basename "$0" .sh)

xvfb_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "$xvfb_who: $tool is missing (see scripts/packages.txt)" >&2; exit 2; }
    done
}

xvfb_cleanup() {
    [ -n "$editor_pid" ] && kill -9 "$editor_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$work" ] && rm -rf "$work"
    return 0
}

xvfb_session() {
    local name=$1 display=$2 geometry=$3 dir
    shift 3
    # Another server on the display would get our keys and clicks.
    if DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1; then
        echo "$xvfb_who: display $display is in use; give another number" >&2
        exit 2
    fi
    work=$(mktemp -d "/tmp/wrenpad-$name.XXXXXX")
    trap xvfb_cleanup EXIT
    for dir in config data state run "$@"; do
        mkdir -p "$work/$dir"
        chmod 700 "$work/$dir"
    done
    export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
    export DISPLAY=$display QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0

    Xvfb "$display" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local _
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$xvfb_who: Xvfb did not start on $display" >&2
    exit 2
}

editor_start() {
    local log=$1
    shift
    "$@" >>"$log" 2>&1 &
    editor_pid=$!
}

editor_stop() {
    [ -n "$editor_pid" ] || return 0
    kill -9 "$editor_pid" 2>/dev/null || true
    wait "$editor_pid" 2>/dev/null || true
    editor_pid=
}

window_of() {  # waits for a visible window whose name matches
    xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

wait_window() {
    local title=$1 seconds=${2:-30}
    timeout "$seconds" bash -c "$(declare -f window_of); window_of '$title'" ||
        { echo "$xvfb_who: no window '$title' within ${seconds}s" >&2; return 1; }
}
