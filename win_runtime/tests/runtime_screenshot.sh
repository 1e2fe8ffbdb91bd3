#!/usr/bin/env bash
# Shows the every-unit window under Wine, photographs the screen into the
# build's screenshots folder, then lets the demo close it.
set -euo pipefail
source "$ZZ_TOOLS/wine-vars.sh"
"$ZZ_TOOLS/wine-env.sh" status || "$ZZ_TOOLS/wine-env.sh" start
source "$ZZ_TOOLS/wine-vars.sh"

work=$(mktemp -d "$ZZ_WINE_ROOT/runtime.XXXXXX")
trap 'rm -rf "$work"' EXIT
shots="$ZZ_BIN/../screenshots"
mkdir -p "$shots"
rm -f "$shots/runtime-window.png"

"$ZZ_WINE_RUN" "$ZZ_BIN/runtime_demo.exe" "$(winepath -w "$work/ready")" "$(winepath -w "$work/go")" \
  > "$work/log" 2>&1 &
pid=$!
for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || { echo "the runtime window never showed"; cat "$work/log"; kill $pid; exit 1; }
sleep 0.3
import -window root "$shots/runtime-window.png"
touch "$work/go"
rc=0
wait $pid || rc=$?
cat "$work/log"
[ "$rc" = 42 ] || { echo "runtime demo exited with $rc, expected 42"; exit 1; }
[ -s "$shots/runtime-window.png" ] || { echo "no screenshot"; exit 1; }
echo "runtime window screenshot: ok"
