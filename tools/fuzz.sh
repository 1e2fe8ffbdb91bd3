#!/usr/bin/env bash
# Fuzzes one of the parsers of outside input with libFuzzer for a given time.
#   tools/fuzz.sh TARGET [SECONDS]   (default 600)
# Each target is a function below that sets `sources` (project files, the
# fuzz entry point last) and writes its seed inputs into "$corpus".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: tools/fuzz.sh TARGET [SECONDS]}
seconds=${2:-600}
out="$root/build/fuzz/$target"
corpus="$out/corpus"
mkdir -p "$corpus" "$out/src"
gbk=0

# The report templates (.grd): GBK text; the shipped ones are the seeds.
target_template() {
  gbk=1
  sources=(common/gbk_text.h common/gbk_text.cpp win_runtime/file_access.h win_runtime/file_access.cpp
           grid_report/report_cells.h grid_report/print_inf.h grid_report/print_inf.cpp
           grid_report/grid_data.h grid_report/grid_data.cpp grid_report/page_layout.h
           grid_report/page_layout.cpp grid_report/template_file.h grid_report/template_file.cpp
           tools/fuzz/template_fuzz.cpp)
  cp "$root/report_keeper/data/wrbb.grd" "$root/report_keeper/data/tjbb.grd" "$corpus/"
}

# The SQL dialect translator: program statements in GBK.
target_dialect() {
  gbk=1
  sources=(common/gbk_text.h common/gbk_text.cpp common/date_text.h common/date_text.cpp
           mdb_database/access_sql.h mdb_database/access_sql.cpp mdb_database/schema.h
           mdb_database/schema.cpp tools/fuzz/dialect_fuzz.cpp)
  local i=0 line
  while IFS= read -r line; do
    printf '%s' "$line" | iconv -f UTF-8 -t GBK > "$corpus/seed$i"; i=$((i + 1))
  done <<'SEEDS'
select [日期] from [项目数据] where [日期]=#2010/3/26#
select * from [项目数据] where [日期]>=#2010-3-26# and [日期]<=#2010-4-25#order by [日期]
delete * from [用户信息] where [编号]=3
insert into [项目数据] ([日期],[挂号]) values ('2010年3月26日','1')
update [用户信息] set [用户名]='a''b',[用户管理]='1' where [编号]=1
SEEDS
}

declare -F "target_$target" >/dev/null || { echo "fuzz: no target '$target'" >&2; exit 2; }
"target_$target"

# clang has no GBK execution character set: a GBK target's sources are handed
# over already in GBK, whose literal bytes it keeps as they are.
for f in "${sources[@]}"; do
  if [ $gbk = 1 ]; then
    iconv -f UTF-8 -t GBK "$root/$f" > "$out/src/$(basename "$f")"
  else
    cp "$root/$f" "$out/src/$(basename "$f")"
  fi
done
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -Wno-invalid-source-encoding \
  -I"$out/src" "$out/src"/*.cpp -o "$out/${target}_fuzz"
"$out/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -15
