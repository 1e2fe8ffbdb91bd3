#!/usr/bin/env bash
# Shows the five-day form in the grid control and then its print preview
# under Wine, photographing each into the build's screenshots folder.
set -euo pipefail
source "$ZZ_TOOLS/wine-vars.sh"
"$ZZ_TOOLS/wine-env.sh" status || "$ZZ_TOOLS/wine-env.sh" start
source "$ZZ_TOOLS/wine-vars.sh"

work=$(mktemp -d "$ZZ_WINE_ROOT/grid.XXXXXX")
trap 'rm -rf "$work"' EXIT
shots="$ZZ_BIN/../screenshots"
mkdir -p "$shots"
rm -f "$shots/grid-view.png" "$shots/grid-preview.png"

wait_for() {
  for _ in $(seq 300); do [ -e "$work/$1" ] && return 0; sleep 0.1; done
  echo "never saw $1"; cat "$work/log"; kill $pid; exit 1
}

cd "$ZZ_BIN"
"$ZZ_WINE_RUN" "$ZZ_BIN/grid_demo.exe" "$(winepath -w "$work")" > "$work/log" 2>&1 &
pid=$!
wait_for grid-ready
sleep 0.3
import -window root "$shots/grid-view.png"
touch "$work/grid-go"
wait_for preview-ready
sleep 0.3
import -window root "$shots/grid-preview.png"
touch "$work/preview-go"
rc=0
wait $pid || rc=$?
cat "$work/log"
[ "$rc" = 42 ] || { echo "grid demo exited with $rc, expected 42"; exit 1; }
for shot in grid-view grid-preview; do
  [ -s "$shots/$shot.png" ] || { echo "no $shot screenshot"; exit 1; }
done
echo "grid screenshots: ok"
