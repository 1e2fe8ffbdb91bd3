#!/usr/bin/env bash
# Runs one Windows program of the build under Wine (the build's test
# emulator). Output goes through a file: Wine's helper processes inherit the
# handles of the first program and would hold a pipe open long after it ended.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-vars.sh
source "$here/wine-vars.sh" ""
exe=$1
shift

# A PE32 program under 64-bit-only Wine prints nothing and exits 0: refuse it.
if [ "${exe##*.}" = exe ] || [ "${exe##*.}" = EXE ]; then
  off=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
  machine=$(od -An -tx2 -j$((off + 4)) -N2 "$exe" | tr -d ' ')
  if [ "$machine" != 8664 ]; then
    echo "wine-run: $exe is not an x86-64 (PE32+) program" >&2
    exit 125
  fi
fi

if ! "$here/wine-env.sh" status; then
  # Said aloud: an environment that died under a running test leaves the
  # programs it started on a display that is gone.
  echo "wine-run: no Wine environment running in $ZZ_WINE_ROOT; starting one" >&2
  "$here/wine-env.sh" start >&2
  source "$here/wine-vars.sh" ""
fi

# gtest's XML report path: a Unix folder reaches Windows through drive Z:.
if [[ "${GTEST_OUTPUT:-}" == xml:/* ]]; then
  p=${GTEST_OUTPUT#xml:}
  export GTEST_OUTPUT="xml:Z:${p//\//\\}"
fi

out=$(mktemp "$ZZ_WINE_ROOT/out.XXXXXX")
wine "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
# A program that ends failing without a word (a crash at start-up, or Wine
# unable to start it) is said so: it is never started again.
if [ $rc != 0 ] && [ ! -s "$out" ]; then
  echo "wine-run: $(basename "$exe") ended with $rc before writing anything" >&2
fi
cat "$out"
rm -f "$out"
exit $rc
