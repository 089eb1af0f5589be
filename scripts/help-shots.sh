#!/usr/bin/env bash
# Takes the screenshots of the user manual (data/help/images/*.png) from the
# running editor on a virtual display, so that they can be renewed whenever
# the program changes:
#
#   bash scripts/help-shots.sh [EDITOR] [DISPLAY_NUMBER]
#
# EDITOR defaults to the editor of the test build (build/test/src/wrenpad,
# built first when missing); the display to :71. The editor runs with
# configuration, data, state and runtime folders of its own under a temporary
# folder, removed at the end, on a Japanese HTML page in Shift-JIS
# (tests/data/help/shot-sample.html). Each shot is the window of the
# dialog or of the main window, reduced to 256 colours.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
editor=${1:-$root/build/test/src/wrenpad}
display=:${2:-71}
out=$root/data/help/images
if [ ! -x "$editor" ]; then
    cmake --build "$root/build/test" -j2 --target wrenpad
fi
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "help-shots: $tool is missing (see scripts/packages.txt)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/wrenpad-shots.XXXXXX)
xvfb_pid=
editor_pid=
cleanup() {
    [ -n "$editor_pid" ] && kill -9 "$editor_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

for dir in config data state run site; do
    mkdir -p "$work/$dir"
    chmod 700 "$work/$dir"
done
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
# The web engine's own code trips the address checker of a test build on a
# harmless delete (its tests turn the same check off).
export DISPLAY=$display QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0

# Every bar on, the window placed at the top left in a size that reads well.
mkdir -p "$work/config/Orvane Applet"
cat >"$work/config/Orvane Applet/Wrenpad.ini" <<'EOF'
[Wrenpad]
Version%201.0\StdToolBar=1
Version%201.0\WebToolBar1=1
Version%201.0\ToolBar2=1
Version%201.0\StatusBar=1
Version%201.0\FileTabBar=268435456
Version%201.0\showCmd=1
Version%201.0\Wndleft=0
Version%201.0\Wndtop=0
Version%201.0\Wndright=960
Version%201.0\Wndbottom=680
Version%201.0\bOpenFileMax=1
Version%201.0\bUseBrowser=0
EOF

Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The page of a small shop, and its folder for the explorer and the folder search.
site=$work/site
cp "$root/tests/data/help/shot-sample.html" "$site/index.html"
cp "$root/tests/data/help/shot-sample.html" "$site/menu.html"
mkdir -p "$site/images"

window_of() {  # waits for a visible window whose name matches
    xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
wait_window() {
    timeout 30 bash -c "$(declare -f window_of); window_of '$1'" || { echo "help-shots: no window '$1'" >&2; return 1; }
}
shot() {  # shot NAME WINDOW: the window's picture in 256 colours
    sleep 0.7
    import -window "$2" "$work/$1.png"
    convert "$work/$1.png" -colors 256 "PNG8:$out/$1.png"
    echo "$1.png $(stat -c %s "$out/$1.png") bytes"
}
dialog_shot() {  # dialog_shot NAME TITLE KEYS...: opens a dialog by keys, shoots it, closes it
    local name=$1 title=$2
    shift 2
    xdotool windowfocus --sync "$win"
    for key in "$@"; do
        xdotool key --delay 120 "$key"
        sleep 0.3
    done
    local dlg
    dlg=$(wait_window "$title")
    shot "$name" "$dlg"
    xdotool windowfocus --sync "$dlg"
    xdotool key Escape
    sleep 0.5
}
start_editor() {
    "$editor" "$@" >>"$work/editor.log" 2>&1 &
    editor_pid=$!
}
stop_editor() {
    kill -9 "$editor_pid" 2>/dev/null || true
    wait "$editor_pid" 2>/dev/null || true
    editor_pid=
}

mkdir -p "$out"
cd "$site"

# The main window, its dialogs and the preview.
start_editor "$site/index.html"
win=$(wait_window 'index.html')
sleep 4  # the splash screen goes after a second and a half; a test build starts slowly
xdotool windowfocus --sync "$win"
xdotool key ctrl+Home Down Down Down Down Down Down End
shot main "$win"

dialog_shot find '^検索$' ctrl+f
dialog_shot replace '^置換$' ctrl+h
dialog_shot foldersearch 'フォルダー内検索' ctrl+F3
dialog_shot hotlink 'ホットリンクの設定' ctrl+shift+a
# The template list with the first template chosen, and its preview beside it.
xdotool windowfocus --sync "$win"
xdotool key --delay 120 alt+f t
dlg=$(wait_window 'ﾃﾝﾌﾟﾚｰﾄの選択')
xdotool windowfocus --sync "$dlg"
xdotool key Down Up
sleep 6
shot templates "$dlg"
xdotool key Escape
sleep 0.5
dialog_shot options '^オプション$' alt+v o
# Two items of the file menu share "Z": the second opens the archive menu.
dialog_shot archive '圧縮ファイルの解凍' alt+f z z u

# The grid editor after the table size, with the size proposed.
xdotool windowfocus --sync "$win"
xdotool key ctrl+shift+t
size=$(wait_window 'テーブルの設定')
xdotool windowfocus --sync "$size"
xdotool key Return
dialog_shot tableedit '^テーブル$'

# The page in the browser bar.
xdotool windowfocus --sync "$win"
xdotool key ctrl+b
sleep 8
shot preview "$win"
stop_editor

# Text typed and never saved, then the explorer pane, in a second run so
# that the bar of the preview is gone; the program is killed, and the next
# start offers the text back.
start_editor "$site/index.html"
win=$(wait_window 'index.html')
sleep 4
xdotool windowfocus --sync "$win"
xdotool key ctrl+End
xdotool type --delay 40 '<p>A line typed and never saved.</p>'
sleep 2
xdotool key ctrl+w
sleep 2
shot explorer "$win"
stop_editor
start_editor
dlg=$(wait_window '^復元$')
shot recover "$dlg"
stop_editor

ls -l "$out"
