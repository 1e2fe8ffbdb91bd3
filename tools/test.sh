#!/usr/bin/env bash
# Runs every test of both builds: the native one under AddressSanitizer and
# UBSan, the Windows one under Wine and Xvfb. Ends with "N passed, N failed"
# counting test cases.
#
#   tools/test.sh [--native-only|--windows-only] [ctest -R regex]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
want_native=1 want_windows=1
case "${1:-}" in
  --native-only) want_windows=0; shift ;;
  --windows-only) want_native=0; shift ;;
esac
filter=${1:-}
jobs=$(nproc)

bash tools/setup.sh || exit 1

results="$root/build/test-results"
rm -rf "$results"
mkdir -p "$results"

passed=0 failed=0 status=0

# Adds one build's counts: gtest programs report their cases in XML; any
# other ctest entry counts as one case.
count() {
  local build=$1 tag=$2 name rc xml tests failures
  while IFS=$'\t' read -r name rc; do
    xml="$results/$tag/$name.xml"
    if [ -f "$xml" ]; then
      tests=$(grep -o '<testsuites [^>]*' "$xml" | grep -o ' tests="[0-9]*"' | grep -o '[0-9]*')
      failures=$(grep -o '<testsuites [^>]*' "$xml" | grep -o ' failures="[0-9]*"' | grep -o '[0-9]*')
      passed=$((passed + tests - failures))
      failed=$((failed + failures))
      # A program that failed with no failed case crashed or leaked.
      [ "$rc" != 0 ] && [ "$failures" = 0 ] && failed=$((failed + 1))
    elif [ "$rc" = 0 ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  done < <(sed -n 's/.*<testcase name="\([^"]*\)".*status="\([a-z]*\)".*/\1\t\2/p' "$build/junit.xml" |
           sed 's/\trun$/\t0/; s/\tfail$/\t1/; s/\tfailed$/\t1/; s/\tnotrun$/\t1/')
}

run_build() {
  local tag=$1 build=$2; shift 2
  echo "== $tag build"
  # ZZ_DIRS in the environment limits the build to some folders.
  local dirs=(-UZZ_DIRS)
  [ -n "${ZZ_DIRS:-}" ] && dirs=(-DZZ_DIRS="$ZZ_DIRS")
  cmake -S . -B "$build" -G Ninja "${dirs[@]}" "$@" >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; echo "$tag: configure failed"; failed=$((failed + 1)); status=1; return; }
  if ! cmake --build "$build" -j "$jobs" >"$build.build.log" 2>&1; then
    grep -E 'error|Error' "$build.build.log" | head -40
    echo "$tag: build failed (log: $build.build.log)"
    failed=$((failed + 1)); status=1; return
  fi
  mkdir -p "$results/$tag"
  GTEST_OUTPUT="xml:$results/$tag/" ctest --test-dir "$build" -j "$jobs" --output-on-failure \
    --output-junit "$root/$build/junit.xml" ${filter:+-R "$filter"} || status=1
  count "$build" "$tag"
}

mkdir -p build
if [ $want_native = 1 ]; then
  run_build native build/native
fi
if [ $want_windows = 1 ]; then
  export ZZ_WINE_ROOT="$root/build/wine"
  trap 'tools/wine-env.sh stop "$ZZ_WINE_ROOT"' EXIT
  tools/wine-env.sh start "$ZZ_WINE_ROOT" || { echo "windows: Wine environment failed"; exit 1; }
  run_build windows build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
fi

echo "$passed passed, $failed failed"
[ $status = 0 ] && [ $failed = 0 ]
