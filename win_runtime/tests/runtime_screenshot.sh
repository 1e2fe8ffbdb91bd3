#!/usr/bin/env bash
# Shows the every-unit window under Wine, photographs the screen into the
# build's screenshots folder, then lets the demo close it.
source "$ZZ_TOOLS/screen-lib.sh" runtime
rm -f "$shots/runtime-window.png"
"$ZZ_WINE_RUN" "$ZZ_BIN/runtime_demo.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/go")" \
  > "$work/log" 2>&1 &
pid=$!
wait_for ready
photograph runtime-window
touch "$work/go"
finish 42 runtime-window
echo "runtime window screenshot: ok"
