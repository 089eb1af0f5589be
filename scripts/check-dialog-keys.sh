#!/usr/bin/env bash
# Drives the editor on a virtual display without a window manager, as a user
# at the keyboard: copies Japanese text, opens the table editor (Ctrl+Shift+T,
# Enter), types into a cell, pastes with Ctrl+V, selects with Ctrl+A and takes
# the table with Alt+O; then opens and closes "基本HTML" (Ctrl+Shift+N) and
# "置換" (Ctrl+H). After each dialog it types on at once, without giving the
# window the focus again, saves with Ctrl+S and checks the saved bytes: the
# editor must still run, the cell must hold the pasted text, and every key
# typed after a dialog must have reached the document.
#
#   bash scripts/check-dialog-keys.sh [EDITOR] [DISPLAY_NUMBER]
#
# EDITOR defaults to the editor of the test build (build/test/src/wrenpad);
# the display to :27. The editor runs with configuration, data, state and
# runtime folders of its own under a temporary folder, removed at the end;
# set KEEP_SHOTS=FOLDER to keep the screenshots taken on the way.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
editor=${1:-$root/build/test/src/wrenpad}
display=:${2:-27}
[ -x "$editor" ] || { echo "check-dialog-keys: no editor at $editor" >&2; exit 2; }
source "$root/scripts/xvfb-lib.sh"
xvfb_require Xvfb xdotool iconv import
xvfb_session dialogkeys "$display" 1280x800x24

doc=$work/page.html
printf 'top\r\n' > "$doc"
shots=${KEEP_SHOTS:-$work/shots}
mkdir -p "$shots"

alive() {
    kill -0 "$editor_pid" 2>/dev/null && return 0
    echo "FAIL: the editor died $1"
    grep -m 3 -E 'ERROR|SUMMARY|Segmentation' "$work/editor.log" || true
    exit 1
}

# Sends keys that open a dialog and focuses the dialog as a click on it
# would; the main window never gets the focus back from this script. A dialog
# that does not open after another one closed means the keys went nowhere.
open_dialog() {
    local keys=$1 title=$2 after=$3 win
    xdotool key $keys
    win=$(wait_window "$title" 20) ||
        { echo "FAIL: $keys opened no window $title${after:+ (the keys did not come back after $after)}"; exit 1; }
    xdotool windowfocus --sync "$win"
    sleep 0.5
}

editor_start "$work/editor.log" "$editor" "$doc"
win=$(wait_window 'page.html' 60) || { echo "FAIL: the editor's window never appeared"; exit 1; }
sleep 2
xdotool windowfocus --sync "$win"
xdotool key --delay 60 ctrl+End
# Japanese text onto the clipboard, copied from the document.
xdotool type --delay 80 '日本語'
xdotool key --delay 60 shift+Home ctrl+c End Return

open_dialog ctrl+shift+t '^テーブルの設定$' ''
open_dialog Return '^テーブル$' ''
xdotool type --delay 80 'abc'
xdotool key --delay 150 ctrl+v ctrl+a
# A crash takes the sanitizers a while to report.
sleep 2
import -window root "$shots/table-editor.png"
alive "after Ctrl+V and Ctrl+A in a cell"
xdotool key --delay 150 Return alt+o
sleep 1
alive "closing the table editor"
xdotool type --delay 60 'after-table'
xdotool key --delay 60 Return

open_dialog ctrl+shift+n '^HTML文章の設定$' 'the table editor'
xdotool key Escape
sleep 1
xdotool type --delay 60 'after-basic'
xdotool key --delay 60 Return

open_dialog ctrl+h '^置換$' '基本HTML'
xdotool key Escape
sleep 1
xdotool type --delay 60 'after-replace'
xdotool key ctrl+s
sleep 1.5
import -window root "$shots/after-dialogs.png"
alive "at the end"
editor_stop

saved=$(iconv -f CP932 -t UTF-8 "$doc")
status=0
for text in '<td>abc日本語</td>' 'after-table' 'after-basic' 'after-replace'; do
    if [[ "$saved" != *"$text"* ]]; then
        echo "FAIL: not in the saved file: $text"
        status=1
    fi
done
if [ "$status" -ne 0 ]; then
    echo "--- saved file:"
    echo "$saved"
    echo "--- screenshots in $shots (kept only with KEEP_SHOTS)"
fi
[ "$status" -eq 0 ] && echo "PASS: no crash in the table editor, and the keys came back after every dialog"
exit "$status"
