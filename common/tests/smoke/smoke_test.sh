#!/usr/bin/env bash
# Starts the smoke window under Wine, photographs the screen while it is up,
# lets its worker thread close it, and checks the exit code.
source "$ZZ_TOOLS/screen-lib.sh" smoke
"$ZZ_WINE_RUN" "$ZZ_BIN/smoke_window.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/go")" \
  > "$work/log" 2>&1 &
pid=$!
wait_for ready
photograph smoke
touch "$work/go"
finish 42 smoke
echo "smoke window: ok"
