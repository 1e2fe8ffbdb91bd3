#!/usr/bin/env bash
# Runs the demo window from a folder of its own, as the main program runs
# from its installation folder: the first start finds no SkinH_EL.dll and
# must write it (hidden); the second finds it. Each run is photographed under
# its skin into the build's screenshots folder. A third start with a damaged
# library must still show the window, unskinned.
source "$ZZ_TOOLS/screen-lib.sh" skin
mkdir -p "$work/app"
cp "$ZZ_BIN/skin_demo.exe" "$work/app/"

fail() { echo "FAIL: $*"; exit 1; }

# show <skin> <screenshot or ""> : starts the demo, waits for its window,
# photographs it, closes it; the demo's report is left in $work/ready.
show() {
  local skin=$1 shot=$2
  rm -f "$work/ready" "$work/go"
  "$ZZ_WINE_RUN" "$work/app/skin_demo.exe" "$skin" "$(winepath -w "$work/ready")" "$(winepath -w "$work/go")" \
    > "$work/log" 2>&1 &
  local pid=$!
  for _ in $(seq 300); do [ -s "$work/ready" ] && break; sleep 0.1; done
  [ -s "$work/ready" ] || { cat "$work/log"; kill $pid 2>/dev/null || true; fail "skin $skin: the window never showed"; }
  if [ -n "$shot" ]; then photograph "$shot"; fi
  touch "$work/go"
  local rc=0
  wait $pid || rc=$?
  [ "$rc" = 0 ] || { cat "$work/log"; fail "skin $skin: demo exited with $rc"; }
  echo "skin $skin: $(cat "$work/ready")"
}

show 5 skin-05
grep -q "applied=1 existed=0 present=1 hidden=1" "$work/ready" || fail "a missing library was not written back hidden"
cmp -s "$work/app/SkinH_EL.dll" "$ZZ_BIN/SkinH_EL.dll" || fail "the written library differs from the build's"

show 12 skin-12
grep -q "applied=1 existed=1 present=1 hidden=1" "$work/ready" || fail "skin 12 did not apply"

# A damaged library: no skin, but the program goes on.
head -c 4096 /dev/urandom > "$work/app/SkinH_EL.dll"
show 9 ""
grep -q "applied=0 existed=1" "$work/ready" || fail "a damaged library was reported as applied"

[ -s "$shots/skin-05.png" ] && [ -s "$shots/skin-12.png" ] || fail "no screenshots"
echo "skin screenshots: ok"
