#!/usr/bin/env bash
# Fuzzes the SQL dialect translator with libFuzzer for a given time.
#   tools/fuzz-dialect.sh [SECONDS]   (default 600)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"
# clang has no GBK execution character set: hand it sources already in GBK,
# whose literal bytes it keeps as they are.
mkdir -p "$out/src"
for f in common/gbk_text.h common/gbk_text.cpp common/date_text.h common/date_text.cpp \
         mdb_database/access_sql.h mdb_database/access_sql.cpp mdb_database/schema.h \
         mdb_database/schema.cpp tools/fuzz/dialect_fuzz.cpp; do
  iconv -f UTF-8 -t GBK "$root/$f" > "$out/src/$(basename "$f")"
done
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -Wno-invalid-source-encoding \
  -I"$out/src" "$out/src"/*.cpp -o "$out/dialect_fuzz"
# Seeds: the statement forms the program issues.
i=0
while IFS= read -r line; do
  printf '%s' "$line" | iconv -f UTF-8 -t GBK > "$out/corpus/seed$i"; i=$((i + 1))
done <<'SEEDS'
select [日期] from [项目数据] where [日期]=#2010/3/26#
select * from [项目数据] where [日期]>=#2010-3-26# and [日期]<=#2010-4-25#order by [日期]
delete * from [用户信息] where [编号]=3
insert into [项目数据] ([日期],[挂号]) values ('2010年3月26日','1')
update [用户信息] set [用户名]='a''b',[用户管理]='1' where [编号]=1
SEEDS
"$out/dialect_fuzz" -max_total_time="${1:-600}" -print_final_stats=1 "$out/corpus" 2>&1 | tail -15
