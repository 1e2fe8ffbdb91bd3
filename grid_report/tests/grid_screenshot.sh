#!/usr/bin/env bash
# Shows the five-day form in the grid control and then its print preview
# under Wine, photographing each into the build's screenshots folder.
source "$ZZ_TOOLS/screen-lib.sh" grid
rm -f "$shots/grid-view.png" "$shots/grid-preview.png"
cd "$ZZ_BIN"
"$ZZ_WINE_RUN" "$ZZ_BIN/grid_demo.exe" "$(winepath -w "$work")" > "$work/log" 2>&1 &
pid=$!
wait_for grid-ready
photograph grid-view
touch "$work/grid-go"
wait_for preview-ready
photograph grid-preview
touch "$work/preview-go"
finish 42 grid-view grid-preview
echo "grid screenshots: ok"
