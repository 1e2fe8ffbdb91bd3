#!/usr/bin/env bash
# Times listing 3,650 records through the database unit against the same
# query through the sqlite3 command-line tool on the same file.
# Built natively without sanitizers, in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZZ_SANITIZE=OFF \
  -DZZ_DIRS="common;mdb_database;bench" >/dev/null
cmake --build "$build" --target list_records_bench >/dev/null
file=$(mktemp -u /tmp/bench-XXXXXX.mdb)
trap 'rm -f "$file"' EXIT
ours=$("$build/bin/list_records_bench" "$file")
echo "database unit: $ours"
query="select * from \"项目数据\" where \"日期\" >= '2001-01-01' and \"日期\" <= '2010-12-31' order by \"日期\";"
best=999999
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  sqlite3 "$file" "$query" > /dev/null
  ms=$(( ($(date +%s%N) - start) / 1000 ))
  [ $ms -lt $best ] && best=$ms
done
ours_ms=$(echo "$ours" | sed 's/.*, \([0-9.]*\) ms/\1/')
awk -v a="$ours_ms" -v b="$best" 'BEGIN { printf "sqlite3 tool: %.2f ms (whole process)\nratio: %.2f\n", b/1000, a/(b/1000) }'
