#!/usr/bin/env bash
# Sets the machine up, builds the Windows programs and starts one under
# Wine: on your display when DISPLAY is set, else on a private Xvfb (a
# screenshot then shows what it drew).
#
#   tools/run.sh              the main program, from the build folder
#   tools/run.sh install      the shipped installer Vodavezu.exe
#   tools/run.sh uninstall    the uninstaller of what the installer installed
#
# Installing and uninstalling happen in the Wine prefix of build/wine-run
# only: its Program Files, registry, desktop and start menu.
set -euo pipefail
what=${1:-main}
case "$what" in
  main|install|uninstall) ;;
  *) echo "usage: tools/run.sh [install|uninstall]" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
# The build writes ml.mdb under Wine, in the test environment of
# build/wine: when the build starts that, the end of the run stops it.
build_wine="$root/build/wine"
stops=()
tools/wine-env.sh status "$build_wine" || stops+=("$build_wine")
cleanup() {
  # On the user's display Wine's server and system processes end with the
  # program; by full paths, as the program runs from its own folder.
  [ -z "${user_display:-}" ] || wineserver -k >/dev/null 2>&1 || true
  local r
  for r in "${stops[@]}"; do "$root/tools/wine-env.sh" stop "$r"; done
}
trap cleanup EXIT
build=build/windows
cmake -S . -B "$build" -G Ninja -UZZ_DIRS -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j "$(nproc)"

program="$build/bin/Zuzaror.exe"
[ "$what" = install ] && program="$build/bin/Vodavezu.exe"

export ZZ_WINE_ROOT="$root/build/wine-run"
if [ -n "${DISPLAY:-}" ]; then
  user_display=$DISPLAY
  tools/wine-env.sh prefix "$ZZ_WINE_ROOT"
  source tools/wine-vars.sh "$ZZ_WINE_ROOT"
  export DISPLAY=$user_display
else
  echo "run: no DISPLAY; using a private Xvfb (build/wine-run/display names it)"
  stops+=("$ZZ_WINE_ROOT")
  tools/wine-env.sh start "$ZZ_WINE_ROOT"
  source tools/wine-vars.sh "$ZZ_WINE_ROOT"
fi
if [ "$what" = uninstall ]; then
  # The installed uninstaller, as the list of installed programs names it.
  key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zuzaror'
  command=$(wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' |
            sed -n 's/.*REG_SZ[[:space:]]*//p')
  [ -n "$command" ] || { echo "run: nothing is installed; run 'tools/run.sh install' first" >&2; exit 1; }
  command=${command#\"}
  program=$(winepath -u "${command%\"}")
fi
cd "$(dirname "$program")"
wine "$(basename "$program")"
