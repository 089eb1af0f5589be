#!/usr/bin/env bash
# Types into the editor on a virtual display, kills it with SIGKILL two
# seconds after the last key, starts it again, accepts the offer of the
# dialog "復元" with Enter, saves with Ctrl+S and checks that every typed
# character is in the file.
#
#   bash scripts/check-recovery.sh [EDITOR] [DISPLAY_NUMBER]
#
# EDITOR defaults to the editor of the test build (build/test/src/wrenpad);
# the display to :23. The editor runs with configuration, data, state and
# runtime folders of its own under a temporary folder, removed at the end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
editor=${1:-$root/build/test/src/wrenpad}
display=:${2:-23}
[ -x "$editor" ] || { echo "check-recovery: no editor at $editor" >&2; exit 2; }
source "$root/scripts/xvfb-lib.sh"
xvfb_require Xvfb xdotool
xvfb_session recovery "$display" 1280x800x24

# A Shift-JIS file: 日本語のテキスト, then a second line.
doc=$work/doc.txt
printf '\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\nsecond line\r\n' > "$doc"
original=$(od -An -tx1 "$doc")

editor_start "$work/run1.log" "$editor" "$doc"
win=$(wait_window 'doc.txt' 60) || { echo "FAIL: the editor's window never appeared"; exit 1; }
# The splash screen goes after a second and a half.
sleep 2
xdotool windowfocus --sync "$win"
typed1='Typed before the crash: 0123456789 <p>&amp;</p>'
typed2='and a second line, all of it unsaved.'
xdotool key --delay 40 ctrl+End
xdotool type --delay 40 "$typed1"
xdotool key --delay 40 Return
xdotool type --delay 40 "$typed2"
sleep 2
editor_stop
[ "$(od -An -tx1 "$doc")" = "$original" ] || { echo "FAIL: the file changed before it was saved"; exit 1; }
records=$(find "$work/state/wrenpad/recovery" -name '*.wrj' | wc -l)
echo "records left by the killed editor: $records"

editor_start "$work/run2.log" "$editor"
dialog=$(wait_window '^復元$' 60) || { echo "FAIL: no dialog 復元 at the restart"; exit 1; }
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key Return
win=$(wait_window 'doc.txt' 60) || { echo "FAIL: the restored window never appeared"; exit 1; }
xdotool windowfocus --sync "$win"
sleep 1
xdotool key ctrl+s
for _ in $(seq 100); do
    [ "$(od -An -tx1 "$doc")" != "$original" ] && break
    sleep 0.1
done
sleep 0.5
editor_stop

saved=$(cat "$doc")
status=0
for text in "$typed1" "$typed2"; do
    if [[ "$saved" != *"$text"* ]]; then
        echo "FAIL: not in the saved file: $text"
        status=1
    fi
done
# The text that was there stays, byte for byte, in front of the typed lines.
expected=$(printf '\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\nsecond line\r\n%s\r\n%s' "$typed1" "$typed2" | od -An -tx1)
if [ "$(od -An -tx1 "$doc")" != "$expected" ]; then
    echo "FAIL: the saved bytes differ from the text on screen"
    od -c "$doc" | head -20
    status=1
fi
left=$(find "$work/state/wrenpad/recovery" -name '*.wrj' | wc -l)
echo "records left after the save: $left"
[ "$status" -eq 0 ] && echo "PASS: every typed character was recovered and saved"
exit "$status"
