#!/usr/bin/env bash
# Times filling the statistics report with a year of days under Wine
# (Windows build): the grid told of every appended row, against the grid
# filled first and told once, in the same run.
# A Wine environment this script starts is stopped again when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/windows"
# Checked before the build, which may run a program under Wine itself.
if ! "$root/tools/wine-env.sh" status; then
  trap '"$root/tools/wine-env.sh" stop' EXIT
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target fill_statistics_bench Zuzaror >/dev/null
"$root/tools/wine-run.sh" "$build/bin/fill_statistics_bench.exe" "$@"
