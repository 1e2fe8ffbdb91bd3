#!/usr/bin/env bash
# Runs every test of both builds: the native one under AddressSanitizer and
# UBSan (with a short run of each fuzz target), the Windows one under Wine
# and Xvfb. Ends with "N passed, N failed, N skipped" counting test cases.
#
#   tools/test.sh [--native-only|--windows-only] [ctest -R regex]
#
# ZZ_DIRS in the environment limits the folders built; a run so limited
# says so before its last line, and CI (CI=true) refuses it.
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

if [ -n "${ZZ_DIRS:-}" ] && [ "${CI:-}" = true ]; then
  echo "test: ZZ_DIRS=$ZZ_DIRS would leave folders out of a CI run; unset it" >&2
  echo "0 passed, 1 failed, 0 skipped"
  exit 1
fi

bash tools/setup.sh || exit 1

results="$root/build/test-results"
rm -rf "$results"
mkdir -p "$results"

passed=0 failed=0 skipped=0 status=0

# One attribute of the first element of an XML file that starts with TAG.
attr() { grep -o "<$2 [^>]*" "$1" | head -1 | grep -o " $3=\"[0-9]*\"" | grep -o '[0-9]*' || echo 0; }

# Adds one build's counts: gtest programs report their cases in XML (a
# skipped or disabled case is neither passed nor failed); any other ctest
# entry counts as one case. Checks that a script could not run are listed
# in the build's "skipped" file.
count() {
  local build=$1 tag=$2 name rc xml tests failures errors skips
  if [ ! -s "$build/junit.xml" ]; then
    echo "$tag: CTest wrote no results"
    failed=$((failed + 1)); status=1; return
  fi
  while IFS=$'\t' read -r name rc; do
    xml="$results/$tag/$name.xml"
    if [ -f "$xml" ]; then
      tests=$(attr "$xml" testsuites tests)
      failures=$(attr "$xml" testsuites failures)
      errors=$(attr "$xml" testsuites errors)
      skips=$(( $(grep -c 'result="skipped"' "$xml") + $(attr "$xml" testsuites disabled) ))
      passed=$((passed + tests - failures - errors - skips))
      failed=$((failed + failures + errors))
      skipped=$((skipped + skips))
      # A program that failed with no failed case crashed or leaked.
      [ "$rc" != 0 ] && [ $((failures + errors)) = 0 ] && failed=$((failed + 1))
    elif [ "$rc" = 0 ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  done < <(sed -n 's/.*<testcase name="\([^"]*\)".*status="\([a-z]*\)".*/\1\t\2/p' "$build/junit.xml" |
           sed 's/\trun$/\t0/; s/\tfail$/\t1/; s/\tfailed$/\t1/; s/\tnotrun$/\t1/; s/\tdisabled$/\t1/')
  if [ -s "$results/$tag/skipped" ]; then
    sed "s/^/$tag: skipped: /" "$results/$tag/skipped"
    skipped=$((skipped + $(wc -l < "$results/$tag/skipped")))
  fi
}

run_build() {
  local tag=$1 build=$2; shift 2
  echo "== $tag build"
  # ZZ_DIRS in the environment limits the build to some folders. Neither
  # it nor the sanitizers are left to a build folder's cache: a folder once
  # configured without them would test without them, and without the fuzz
  # targets.
  local dirs=(-UZZ_DIRS)
  [ -n "${ZZ_DIRS:-}" ] && dirs=(-DZZ_DIRS="$ZZ_DIRS")
  cmake -S . -B "$build" -G Ninja "${dirs[@]}" -DZZ_SANITIZE=ON "$@" >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; echo "$tag: configure failed"; failed=$((failed + 1)); status=1; return; }
  if ! cmake --build "$build" -j "$jobs" >"$build.build.log" 2>&1; then
    grep -E 'error|Error' "$build.build.log" | head -40
    echo "$tag: build failed (log: $build.build.log)"
    failed=$((failed + 1)); status=1; return
  fi
  # Results of an earlier run must not be counted as this one's.
  rm -rf "${results:?}/$tag" "$build/junit.xml"
  mkdir -p "$results/$tag"
  # With a filter, a build may hold none of the tests asked for.
  local none=error
  [ -n "$filter" ] && none=ignore
  ZZ_SKIPPED="$results/$tag/skipped" GTEST_OUTPUT="xml:$results/$tag/" \
    ctest --test-dir "$build" -j "$jobs" --output-on-failure --no-tests=$none \
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

if [ $((passed + failed)) = 0 ]; then
  echo "test: no test ran"
  failed=1
fi
[ -n "${ZZ_DIRS:-}" ] && echo "test: only the folders of ZZ_DIRS=$ZZ_DIRS were built and tested"
echo "$passed passed, $failed failed, $skipped skipped"
[ $status = 0 ] && [ $failed = 0 ]
