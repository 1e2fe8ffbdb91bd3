#!/usr/bin/env bash
# Shows the demo dialog with every drawn control under Wine and photographs
# it; the dialog ends through the application's exit from a timer.
source "$ZZ_TOOLS/screen-lib.sh" setup
rm -f "$shots/setup-dialog.png"
cd "$ZZ_BIN"
"$ZZ_WINE_RUN" "$ZZ_BIN/setup_demo.exe" "$(winepath -w "$work")" > "$work/log" 2>&1 &
pid=$!
wait_for ready
photograph setup-dialog
touch "$work/go"
finish 0 setup-dialog
echo "setup dialog screenshot: ok"
