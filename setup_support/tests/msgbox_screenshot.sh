#!/usr/bin/env bash
# Shows the message box over a skinned dialog, then the crash box, and
# photographs each once it rests; both close by their count-down.
source "$ZZ_TOOLS/screen-lib.sh" msgbox
rm -f "$shots/setup-msgbox.png" "$shots/setup-crashbox.png"
cp "$ZZ_BIN/msgbox_demo.exe" "$work/"

"$ZZ_WINE_RUN" "$work/msgbox_demo.exe" "$(winepath -w "$work/ready")" box > "$work/log" 2>&1 &
pid=$!
wait_for ready
photograph setup-msgbox
finish 41 setup-msgbox

rm -f "$work/ready"
"$ZZ_WINE_RUN" "$work/msgbox_demo.exe" "$(winepath -w "$work/ready")" crash > "$work/log" 2>&1 &
pid=$!
wait_for ready
photograph setup-crashbox
# An access violation's code reaches the shell modulo 256.
finish 5 setup-crashbox
echo "message box screenshots: ok"
