#!/usr/bin/env bash
# Times filling the record list with 3,650 rows under Wine (Windows build).
# A Wine environment this script starts is stopped again when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/windows"
# Checked before the build, which may run a program under Wine itself.
if ! "$root/tools/wine-env.sh" status; then
  trap '"$root/tools/wine-env.sh" stop' EXIT
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target fill_list_bench >/dev/null
"$root/tools/wine-run.sh" "$build/bin/fill_list_bench.exe"
