#!/usr/bin/env bash
# Times unpacking the shipped installer payload (read, check and decode every
# entry in memory) and the payload's digest against xz decoding the same LZMA
# streams in one process.
# The payload comes from the Windows build's packing step; the benchmark
# itself is built natively without sanitizers, in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
windows="$root/build/windows" build="$root/build/bench"
payload="$windows/installer_stage/payload.bin"
if [ ! -f "$payload" ]; then
  cmake -S "$root" -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$windows" --target Vodavezu_shipped >/dev/null
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZZ_SANITIZE=OFF \
  -DZZ_DIRS="setup_support;installer;bench" >/dev/null
cmake --build "$build" --target unpack_bench >/dev/null
streams=$(mktemp -d /tmp/bench-lzma-XXXXXX)
trap 'rm -rf "$streams"' EXIT
result=$("$build/bin/unpack_bench" "$payload" "$streams")
ours=$(echo "$result" | sed -n 1p) digest=$(echo "$result" | sed -n 2p)
echo "installer reader: $ours"
echo "installer digest: $digest"
best=999999999
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  xz --format=lzma -dc "$streams"/*.lzma > /dev/null
  us=$(( ($(date +%s%N) - start) / 1000 ))
  [ $us -lt $best ] && best=$us
done
ms() { echo "$1" | sed 's/.*, \([0-9.]*\) ms/\1/'; }
awk -v a="$(ms "$ours")" -v d="$(ms "$digest")" -v b="$best" 'BEGIN {
  printf "xz --format=lzma -d: %.2f ms (whole process)\n", b/1000
  printf "ratio: %.2f\ndigest ratio: %.2f (%.1f %% of the reader)\n", a/(b/1000), d/(b/1000), 100*d/a }'
