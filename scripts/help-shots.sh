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
source "$root/scripts/xvfb-lib.sh"
xvfb_require Xvfb xdotool import convert
xvfb_session shots "$display" 1280x900x24 site
# The web engine's own code trips the address checker of a test build on a
# harmless delete (its tests turn the same check off).
export ASAN_OPTIONS=$ASAN_OPTIONS:new_delete_type_mismatch=0

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

# The page of a small shop, and its folder for the explorer and the folder search.
site=$work/site
cp "$root/tests/data/help/shot-sample.html" "$site/index.html"
cp "$root/tests/data/help/shot-sample.html" "$site/menu.html"
mkdir -p "$site/images"

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
mkdir -p "$out"
cd "$site"

# The main window, its dialogs and the preview.
editor_start "$work/editor.log" "$editor" "$site/index.html"
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
editor_stop

# Text typed and never saved, then the explorer pane, in a second run so
# that the bar of the preview is gone; the program is killed, and the next
# start offers the text back.
editor_start "$work/editor.log" "$editor" "$site/index.html"
win=$(wait_window 'index.html')
sleep 4
xdotool windowfocus --sync "$win"
xdotool key ctrl+End
xdotool type --delay 40 '<p>A line typed and never saved.</p>'
sleep 2
xdotool key ctrl+w
sleep 2
shot explorer "$win"
editor_stop
editor_start "$work/editor.log" "$editor"
dlg=$(wait_window '^復元$')
shot recover "$dlg"
editor_stop

ls -l "$out"
