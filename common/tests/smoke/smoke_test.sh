#!/usr/bin/env bash
# Starts the smoke window under Wine, photographs the screen while it is up,
# lets its worker thread close it, and checks the exit code.
set -euo pipefail
source "$ZZ_TOOLS/wine-vars.sh"
"$ZZ_TOOLS/wine-env.sh" status || "$ZZ_TOOLS/wine-env.sh" start
source "$ZZ_TOOLS/wine-vars.sh"

work=$(mktemp -d "$ZZ_WINE_ROOT/smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
shots="$ZZ_BIN/../screenshots"
mkdir -p "$shots"

"$ZZ_WINE_RUN" "$ZZ_BIN/smoke_window.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/go")" \
  > "$work/log" 2>&1 &
pid=$!
for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || { echo "smoke window never showed"; cat "$work/log"; kill $pid; exit 1; }
sleep 0.5
import -window root "$shots/smoke.png"
touch "$work/go"
rc=0
wait $pid || rc=$?
cat "$work/log"
[ "$rc" = 42 ] || { echo "smoke window exited with $rc, expected 42"; exit 1; }
[ -s "$shots/smoke.png" ] || { echo "no screenshot"; exit 1; }
echo "smoke window: ok"
