#!/usr/bin/env bash
# Fuzzes one of the parsers of outside input with libFuzzer for a given time.
#   tools/fuzz.sh TARGET [SECONDS]   (default 600)
# The target is built under $ZZ_FUZZ_OUT (default build/fuzz); a crash, a
# leak or a sanitizer report fails the run and leaves its input there.
# Each target is a function below that sets `sources` (project files, the
# fuzz entry point last) and writes its seed inputs into "$corpus".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: tools/fuzz.sh TARGET [SECONDS]}
seconds=${2:-600}
out="${ZZ_FUZZ_OUT:-$root/build/fuzz}/$target"
corpus="$out/corpus"
# The target is built from an empty folder each time: a source dropped from
# a target must not stay there to be compiled in, nor an old crash input be
# taken for a new one. The corpus (seeds and what earlier runs found) and the
# packer's CMake build, which tracks its own sources, are kept.
mkdir -p "$out"
find "$out" -mindepth 1 -maxdepth 1 ! -name corpus ! -name seedbuild -exec rm -rf {} +
mkdir -p "$corpus" "$out/src"
gbk=0
cflags=()

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

# The uninstall record beside the uninstaller, and the names the uninstaller
# takes from it.
target_uninstall_record() {
  sources=(installer/uninstall_record.h installer/uninstall_record.cpp installer/utf16_field.h
           installer/utf16_field.cpp uninstaller/removal.h uninstaller/removal.cpp
           tools/fuzz/uninstall_record_fuzz.cpp)
  local field i=0
  # Shipped names, a hostile "..", and fields without their NUL.
  for field in Zuzaror .. '..\x'; do
    python3 -c 'import sys
def f(t, n): b = t.encode("utf-16-le")[:2 * n]; return b + bytes(2 * n - len(b))
t = sys.argv[1]
sys.stdout.buffer.write(f(t, 50) + f("UserData\\", 50) + f(t, 50) + f(t, 30))' "$field" > "$corpus/seed$i"
    i=$((i + 1))
  done
  head -c 360 /dev/zero | tr '\0' 'A' > "$corpus/seed_full"
}

# The installer's payload reader with the LZMA decoder, behind its digest
# check. Seeds are written by the packer itself, built natively on the side.
target_payload() {
  local lzma=/usr/include/lzma
  sources=(installer/utf16_field.h installer/utf16_field.cpp installer/payload.h installer/payload.cpp
           installer/lzma_codec.h installer/lzma_codec.cpp setup_support/qv_crypt.h
           setup_support/qv_crypt.cpp $lzma/LzmaDec.c $lzma/LzmaEnc.c $lzma/LzFind.c
           $lzma/LzmaDec.h $lzma/LzmaEnc.h $lzma/LzFind.h $lzma/LzHash.h $lzma/Types.h
           tools/fuzz/payload_fuzz.cpp)
  cflags=(-D_7ZIP_ST)
  cmake -S "$root" -B "$out/seedbuild" -G Ninja -DZZ_SANITIZE=OFF -DZZ_DIRS="setup_support;installer" >/dev/null
  cmake --build "$out/seedbuild" --target payload_pack >/dev/null
  printf 'a\r\n' > "$out/a.ini"
  head -c 3000 "$root/installer/payload.cpp" > "$out/b.txt"
  : > "$out/empty"
  printf 'KeyName=K\nLaunchPath=P\\b.txt\nfile=P\\a.ini|%s\nfile=P\\b.txt|%s\n' "$out/a.ini" "$out/b.txt" > "$out/m1"
  printf 'KeyName=K\nfile=e|%s\n' "$out/empty" > "$out/m2"
  "$out/seedbuild/bin/payload_pack" "$out/m1" "$corpus/seed1" >/dev/null
  "$out/seedbuild/bin/payload_pack" "$out/m2" "$corpus/seed2" >/dev/null
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
  case $f in /*) cp "$f" "$out/src/"; continue ;; esac
  if [ $gbk = 1 ]; then
    iconv -f UTF-8 -t GBK "$root/$f" > "$out/src/$(basename "$f")"
  else
    cp "$root/$f" "$out/src/$(basename "$f")"
  fi
done
# Every sanitizer report ends the run as a failure: UBSan would otherwise
# print its "runtime error" and carry on, and the run would pass.
sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=all)
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}halt_on_error=1:print_stacktrace=1"
# C sources (a library's) are compiled as C and linked in.
objects=()
for c in "$out/src"/*.c; do
  [ -e "$c" ] || continue
  clang -O1 -g -fsanitize=fuzzer-no-link "${sanitize[@]}" "${cflags[@]}" -w -c "$c" -o "${c%.c}.o"
  objects+=("${c%.c}.o")
done
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer "${sanitize[@]}" -Wno-invalid-source-encoding "${cflags[@]}" \
  -I"$out/src" "$out/src"/*.cpp "${objects[@]}" -o "$out/${target}_fuzz"
log="$out/fuzz.log"
report='runtime error:|ERROR: [A-Za-z]*Sanitizer|ERROR: libFuzzer'
rc=0
"$out/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/" \
  "$corpus" > "$log" 2>&1 || rc=$?
# A report in the log fails the run even if the target somehow exited 0.
if [ $rc != 0 ] || grep -qE "$report" "$log"; then
  # The whole report from its first line, however long its stack; the
  # log's end when there is none (a build or start-up failure).
  first=$(grep -nE -m1 "$report" "$log" | cut -d: -f1 || true)
  if [ -n "$first" ]; then tail -n +"$first" "$log"; else tail -80 "$log"; fi
  echo "fuzz: $target failed (exit $rc; log: $log)"
  exit 1
fi
tail -15 "$log"
