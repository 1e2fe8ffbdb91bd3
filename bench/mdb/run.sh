#!/usr/bin/env bash
# Times listing 3,650 records through the database unit against the same
# query through SQLite's C API in the same process on the same file, and
# prints their ratio. Built natively without sanitizers, in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZZ_SANITIZE=OFF \
  -DZZ_DIRS="common;mdb_database;bench" >/dev/null
cmake --build "$build" --target list_records_bench >/dev/null
file=$(mktemp -u /tmp/bench-XXXXXX.mdb)
trap 'rm -f "$file"' EXIT
"$build/bin/list_records_bench" "$file"
