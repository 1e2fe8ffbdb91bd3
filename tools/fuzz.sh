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

# The skin package walk: runs of 64-byte named headers and their data.
target_skin_package() {
  sources=(setup_support/qv_skin_package.h setup_support/qv_skin_package.cpp
           tools/fuzz/skin_package_fuzz.cpp)
  python3 - "$corpus" <<'SEEDS'
import struct, sys
def entry(name, data):
    field = name.encode('utf-16-le')[:58].ljust(60, b'\0')
    return field + struct.pack('<I', len(data)) + data
seeds = [
    entry('button_0', b'\x89PNG\r\n') + entry('bg', b'one') + entry('bg', b'two'),
    entry('', b'e') + entry('A' * 29, b''),
    b'A\0' * 30 + struct.pack('<I', 0xFFFFFFFF) + b'xy',
    entry("bg", b"")[:63],
]
for i, seed in enumerate(seeds):
    open('%s/seed%d' % (sys.argv[1], i), 'wb').write(seed)
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
