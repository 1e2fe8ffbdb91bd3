#!/usr/bin/env bash
# Libraries laid beside the setup programs under names they might load
# (zlib1, version, winmm, wininet, gdiplus), as anyone who can write to a
# download folder or to an installation folder outside Program Files could:
# the shipped installer, started from a download folder holding them, and
# the installed uninstaller, with them beside it, both go through and load
# none of them. Wine is made to look in the program's folder first for those
# names, as Windows does. Wine's own user32 imports zlib1 and version, so
# those two are loaded from there at start whatever the program does: each
# planted library writes who loaded it (planted_library.cpp), and Wine's
# module trace shows any later load that names the program's folder.
set -euo pipefail
export ZZ_WINE_ROOT="$ZZ_BIN/../wine-planted"
source "$ZZ_TOOLS/screen-lib.sh" planted
trap '"$ZZ_TOOLS/wine-env.sh" stop "$ZZ_WINE_ROOT" || true; rm -rf "$work"' EXIT

driver="$ZZ_BIN/installer_driver.exe"
for f in "$ZZ_BIN/Vodavezu.exe" "$driver" "$ZZ_BIN/planted_library.dll"; do
  [ -e "$f" ] || { echo "planted library scenario: $(basename "$f") is not built"; exit 1; }
done
names="zlib1 version winmm wininet gdiplus"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zuzaror'
drive_c="$WINEPREFIX/drive_c"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
run() { "$ZZ_WINE_RUN" "$@" >> "$work/log" 2>&1; }
ZZ_PLANTED_LOG=$(winepath -w "$work/planted.log")
export ZZ_PLANTED_LOG

plant() { for n in $names; do cp "$ZZ_BIN/planted_library.dll" "$1/$n.dll"; done; }

# A setup program started with the planted names taken from its folder
# first and its module loads traced; returns at once.
start_planted() {  # program(windows path) trace
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${names// /,}=n,b" WINEDEBUG=+module wine "$1" > "$2" 2>&1 &
  pid=$!
}

# Nothing from the folder ran: no planted library wrote more than Wine's own
# start-up loads, and no load after start looked there for one of the names.
# Those start-up loads prove the probe: Wine's user32 takes zlib1 and version
# from the program's folder at every start, so a log without them says only
# that the libraries were not planted, not found or could not write. GDI+,
# loaded late, must have been loaded from the system folder.
check_loads() {  # tag program folder(windows path) trace
  local lines= mine later n
  grep -q 'load_dll looking for' "$4" || fail "$1: no module trace"
  [ -s "$work/planted.log" ] && lines=$(tr -d '\r' < "$work/planted.log") ||
    fail "$1: the planted libraries wrote no log: the probe did not run"
  for n in zlib1 version; do
    grep -qix "$2 $n.dll by-system" <<< "$lines" ||
      fail "$1: the planted $n.dll was not loaded at start for Wine's own libraries: the probe did not run"
  done
  echo "$1: loaded at start for Wine's own libraries: $(printf '%s' "$lines" | grep ' by-system$' |
    cut -d' ' -f2 | tr '\n' ' ' || true)"
  mine=$(printf '%s' "$lines" | grep -v ' by-system$' | tr '\n' ';' || true)
  [ -z "$mine" ] || fail "$1: planted libraries were loaded: $mine"
  grep -qiF 'load_dll looking for L"C:\\windows\\system32\\gdiplus.dll"' "$4" ||
    fail "$1: GDI+ was not loaded from the system folder"
  later=$(python3 - "$4" "$3" "$names" <<'PY'
import re, sys
trace, folder, names = sys.argv[1], sys.argv[2].lower().rstrip("\\"), sys.argv[3].split()
found = set()
for line in open(trace, errors="replace"):
    m = re.search(r'load_dll looking for L"([^"]*)" in L"([^"]*)"', line)
    if not m:
        continue
    name, paths = (s.replace("\\\\", "\\").lower() for s in m.groups())
    folder_of, _, base = name.rpartition("\\")
    if base not in [n + ".dll" for n in names]:
        continue
    where = [folder_of] if folder_of else paths.split(";")
    if folder in (w.rstrip("\\") for w in where):
        found.add(name)
print(" ".join(sorted(found)))
PY
)
  [ -z "$later" ] || fail "$1: looked in its own folder for: $later"
  rm -f "$work/planted.log"
}

# The shipped installer from a download folder, installed by a posted click;
# the main program it starts is ended.
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /d 'C:\Program Files' /f \
  >/dev/null 2>&1
product='C:\Program Files\Zuzaror'
dir=$(winepath -u "$product")
rm -rf "$dir"
downloads="$drive_c/users/$(id -un)/Downloads"
mkdir -p "$downloads"
cp "$ZZ_BIN/Vodavezu.exe" "$downloads/"
plant "$downloads"
start_planted "$(winepath -w "$downloads/Vodavezu.exe")" "$work/install-trace"
# An installer that never opens is ended, and its loads are read all the
# same: a planted library it took is the likeliest reason.
if run "$driver" wait "QV-安装向导" "$(winepath -w "$work/ready")"; then
  run "$driver" click "QV-安装向导" 145 194
else
  fail "the installer did not open"
  kill "$pid" 2>/dev/null || true
fi
wait "$pid" || fail "the installer failed"
sleep 3
run "$driver" process Zuzaror.exe "$(winepath -w "$work/process")" ||
  fail "the installer did not start the main program"
sleep 1
[ -e "$dir/Zuzaror.exe" ] && [ -e "$dir/Zodadira.exe" ] || fail "not installed: $(ls -A "$dir" 2>/dev/null)"
check_loads installer Vodavezu.exe "$(winepath -w "$downloads")" "$work/install-trace"
# The uninstaller's part needs the installation.
[ $failed = 0 ] || { cat "$work/log"; exit 1; }

# The installed uninstaller, the same libraries beside it; its box about the
# saved books is answered until the uninstaller and its batch file are gone.
plant "$dir"
start_planted "$product\\Zodadira.exe" "$work/uninstall-trace"
for _ in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || break
  run "$driver" click "Dravolin-卸载程序" 150 182 300 200 || true
  sleep 0.2
done
wait "$pid" 2>/dev/null || true
for _ in $(seq 100); do [ -e "$drive_c/clear.bat" ] || break; sleep 0.2; done
sleep 1
[ -e "$dir" ] && fail "the uninstaller left: $(ls -A "$dir")"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the Uninstall key stayed"
check_loads uninstaller Zodadira.exe "$product" "$work/uninstall-trace"
rm -rf "$downloads" "$drive_c/users/Public/Documents/Zuzaror 数据"

cat "$work/log"
[ $failed = 0 ] && echo "planted library scenario: ok"
exit $failed
