#!/usr/bin/env bash
# Builds a benchmark of the Windows build and runs it under Wine; the
# benchmarks that time the program's own windows go through here.
# A Wine environment this script starts is stopped again when it ends.
#
#   bench/wine_bench.sh TARGET [EXTRA_TARGET ...] [-- ARGS ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
bench=$1
targets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do targets+=("$1"); shift; done
[ $# -gt 0 ] && shift
# Checked before the build, which may run a program under Wine itself.
if ! "$root/tools/wine-env.sh" status; then
  trap '"$root/tools/wine-env.sh" stop' EXIT
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target "${targets[@]}" >/dev/null
"$root/tools/wine-run.sh" "$build/bin/$bench.exe" "$@"
