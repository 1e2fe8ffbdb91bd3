#!/usr/bin/env bash
# Times filling the record list with 3,650 rows under Wine (Windows build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/windows"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target fill_list_bench >/dev/null
"$root/tools/wine-run.sh" "$build/bin/fill_list_bench.exe"
