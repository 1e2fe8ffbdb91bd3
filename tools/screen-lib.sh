# Sourced by the test scripts that show programs under Wine and photograph
# them: the Wine environment, a scratch folder and the screenshots folder.
#
#   source "$ZZ_TOOLS/screen-lib.sh" <tag>
#   ... "$ZZ_WINE_RUN" demo.exe ... > "$work/log" 2>&1 & pid=$!
#   wait_for ready            # a file the program writes in $work once shown
#   photograph smoke          # $shots/smoke.png
#   touch "$work/go"; finish 42 smoke   # waits, checks the exit code and shots
set -euo pipefail
screen_tag=${1:-screen}
source "$ZZ_TOOLS/wine-vars.sh" ""
"$ZZ_TOOLS/wine-env.sh" status || "$ZZ_TOOLS/wine-env.sh" start
source "$ZZ_TOOLS/wine-vars.sh" ""

work=$(mktemp -d "$ZZ_WINE_ROOT/$screen_tag.XXXXXX")
trap 'rm -rf "$work"' EXIT
shots="$ZZ_BIN/../screenshots"
mkdir -p "$shots"
pid=

wait_for() {
  for _ in $(seq 300); do [ -e "$work/$1" ] && return 0; sleep 0.1; done
  echo "never saw $1"; cat "$work/log"; [ -n "$pid" ] && kill "$pid"; exit 1
}

# Let the last change paint, then take the whole screen.
photograph() {
  sleep 0.3
  import -window root "$shots/$1.png"
}

# finish <expected exit code> <screenshot names...>
finish() {
  local expected=$1 rc=0 shot
  shift
  # A program that waits for a lost click would keep the test for ever.
  for _ in $(seq 1200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    import -window root "$shots/$screen_tag-not-ended.png" || true
    cat "$work/log"
    echo "the program had not ended 120 s after its last step (screen: $shots/$screen_tag-not-ended.png)"
    kill "$pid"
    exit 1
  fi
  wait "$pid" || rc=$?
  cat "$work/log"
  [ "$rc" = "$expected" ] || { echo "the program exited with $rc, expected $expected"; exit 1; }
  for shot in "$@"; do
    [ -s "$shots/$shot.png" ] || { echo "no $shot screenshot"; exit 1; }
  done
}
