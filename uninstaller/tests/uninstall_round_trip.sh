#!/usr/bin/env bash
# The uninstaller run as a user runs it, in a Wine prefix of its own (the
# program deletes folders): an installation under a Program Files with a
# percent sign (and, in the Chinese locale, Chinese characters) is removed
# with its key and its four shortcuts, and the batch file goes too, while
# the parent folder, other programs' shortcuts, the installation id and the
# target of a link inside the installation stay. Then a copy of the
# uninstaller on the desktop, whose record and key name the desktop, must
# delete nothing.
set -euo pipefail
export ZZ_WINE_ROOT="$ZZ_BIN/../wine-uninstall"
source "$ZZ_TOOLS/screen-lib.sh" uninstall
listener=
cleanup() {
  [ -n "$listener" ] && kill "$listener" 2>/dev/null || true
  "$ZZ_TOOLS/wine-env.sh" stop "$ZZ_WINE_ROOT" || true
  rm -rf "$work"
}
trap cleanup EXIT

suffix=${ZZ_LOCALE:+-${ZZ_LOCALE%%.*}}
suffix=${suffix,,}
# Program Files for the installer, and a folder with a percent sign for an
# installation laid out by hand (the installer cannot start the main program
# from one under Wine).
if [ -n "$suffix" ]; then
  program_files='C:\Apps x' percent_files='C:\Apps %PATH% x'
else
  program_files='C:\程序 文件' percent_files='C:\程序%PATH%文件'
fi
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zuzaror'
drive_c="$WINEPREFIX/drive_c"
unix_of() { winepath -u "$1" 2>/dev/null; }
fail() { echo "FAIL: $*"; failed=1; }
failed=0

# A listener for the statistics reports, reached through proxy.dat.
python3 - "$work" <<'PY' &
import http.server, socketserver, sys
work = sys.argv[1]
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        open(work + "/requests", "a").write(self.path + "\n")
        self.send_response(200); self.end_headers(); self.wfile.write(b"ok")
    def log_message(self, *a): pass
with socketserver.TCPServer(("127.0.0.1", 0), H) as s:
    open(work + "/port.tmp", "w").write(str(s.server_address[1]))
    import os; os.rename(work + "/port.tmp", work + "/port")
    s.serve_forever()
PY
listener=$!
wait_for port
port=$(cat "$work/port")

profile="$drive_c/users/$(id -un)"
desktop="$profile/Desktop"
programs="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$programs"

# The record, the proxy file: fixed-width UTF-16LE fields, zero after the text.
record() {  # key shortcut menu -> stdout
  python3 -c 'import sys
def f(t, n): b = t.encode("utf-16-le")[:2 * n]; return b + bytes(2 * n - len(b))
k, s, m = sys.argv[1:4]
sys.stdout.buffer.write(f(k, 50) + f("UserData\\", 50) + f(s, 50) + f(m, 30))' "$@"
}
proxy() {
  python3 -c 'import sys, struct
def f(t, n): b = t.encode("utf-16-le")[:2 * n]; return b + bytes(2 * n - len(b))
sys.stdout.buffer.write(struct.pack("<I", 1) + f("127.0.0.1", 100) + f(sys.argv[1], 12) + f("", 50) + f("", 50))' "$1"
}

# The installation as the installer leaves it, with the main program's own
# files and a folder the removal skips (".cache"); with "link", also a Unix
# symbolic link to a folder outside, which Wine can neither remove nor keep
# its command interpreter's "rd /s" from following.
# Where the next installation goes: HKLM ProgramFilesDir and the product folder.
place() {
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /d "$1" /f >/dev/null 2>&1
  product="$1\\Zuzaror"
  dir=$(unix_of "$product")
  parent=$(dirname "$dir")
}
lay_out() {
  rm -rf "$parent"
  mkdir -p "$dir/UserData/备份" "$dir/.cache" "$drive_c/outside"
  cp "$ZZ_BIN/Zodadira.exe" "$dir/"
  for f in Zuzaror.exe SkinH_EL.dll ml.mdb 1021.ini wrbb.grd tjbb.grd UserData/备份/ml1.mdb .cache/x; do
    echo data > "$dir/$f"
  done
  echo keep > "$drive_c/outside/kept.txt"
  [ "${1:-}" = link ] && ln -s "$drive_c/outside" "$dir/link"
  echo other > "$parent/other.txt"
  record Zuzaror Zuzaror Zuzaror > "$dir/Zodadira.dat"
  proxy "$port" > "$dir/proxy.dat"
  wine reg add "$uninstall_key" /v InstallLocation /d "$product" /f >/dev/null 2>&1
  wine reg add "$uninstall_key" /v UninstallString /d "\"$product\\Zodadira.exe\"" /f >/dev/null 2>&1
  mkdir -p "$programs/Zuzaror"
  for f in Zuzaror.lnk 官方网站.url 卸载.lnk; do echo lnk > "$programs/Zuzaror/$f"; done
  echo lnk > "$programs/Other.lnk"
  echo lnk > "$desktop/Zuzaror.lnk"
  echo lnk > "$desktop/Other.lnk"
}

# Runs the uninstaller at a Windows path, photographs its window, and waits
# for it and for its batch file to end.
run_uninstaller() {  # path shot
  wine "$1" >> "$work/log" 2>&1 &
  pid=$!
  sleep 2
  import -window root "$shots/$2$suffix.png"
  sleep 1.2
  import -window root "$shots/$2-erasing$suffix.png"
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  kill -0 $pid 2>/dev/null && { fail "the uninstaller did not end"; kill $pid; }
  for _ in $(seq 150); do [ -e "$dir/Zodadira.exe" ] || [ -e "$drive_c/clear.bat" ] || break; sleep 0.2; done
  sleep 1
}

# The shipped installer, when this build made it: installed by a posted
# click on its button, the main program it starts left running a moment to
# write its own files, then ended. Without it, the installation is laid out.
install() {
  local driver="$ZZ_BIN/installer_driver.exe"
  mkdir -p "$work/dl" "$parent"
  cp "$ZZ_BIN/Vodavezu.exe" "$work/dl/"
  proxy "$port" > "$work/dl/proxy.dat"
  wine "$work/dl/Vodavezu.exe" >> "$work/log" 2>&1 &
  local installer=$!
  "$ZZ_WINE_RUN" "$driver" wait "QV-安装向导" "$(winepath -w "$work/ready")" >> "$work/log" 2>&1
  "$ZZ_WINE_RUN" "$driver" click "QV-安装向导" 145 194 >> "$work/log" 2>&1
  wait $installer || fail "the installer failed"
  sleep 3
  "$ZZ_WINE_RUN" "$driver" process Zuzaror.exe "$(winepath -w "$work/process")" >> "$work/log" 2>&1 ||
    fail "the installer did not start the main program"
  proxy "$port" > "$dir/proxy.dat"
  echo "installed: $(ls -A "$dir" | tr '\n' ' ')"
}

# Everything of the installation is gone, nothing else is.
check_removed() {  # tag
  [ -e "$dir" ] && fail "$1: the product folder stayed: $(ls -A "$dir")"
  [ -e "$drive_c/clear.bat" ] && fail "$1: the batch file stayed"
  [ -d "$parent" ] && [ -e "$parent/other.txt" ] || fail "$1: the parent folder or its file went"
  wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "$1: the Uninstall key stayed"
  wine reg query 'HKCU\SOFTWARE\Vudozuvo' /v UID >/dev/null 2>&1 || fail "$1: the UID went"
  [ -e "$programs/Zuzaror" ] && fail "$1: the start-menu folder stayed"
  [ -e "$desktop/Zuzaror.lnk" ] && fail "$1: the desktop shortcut stayed"
  [ -e "$programs/Other.lnk" ] && [ -e "$desktop/Other.lnk" ] || fail "$1: another program's shortcut went"
  for _ in $(seq 50); do grep -q 'type=uninstall' "$work/requests" 2>/dev/null && break; sleep 0.1; done
  grep -q 'type=open&value=Vantro_Uninstall' "$work/requests" || fail "$1: no open report"
  grep -q 'type=uninstall&value=Zuzaror' "$work/requests" || fail "$1: no uninstall report"
  rm -f "$work/requests"
}

install_or_lay_out() {
  if [ -e "$ZZ_BIN/Vodavezu.exe" ] && [ -e "$ZZ_BIN/installer_driver.exe" ]; then
    rm -rf "$parent"
    install
    echo lnk > "$programs/Other.lnk"
    echo lnk > "$desktop/Other.lnk"
    echo other > "$parent/other.txt"
  else
    lay_out
  fi
}

place "$program_files"
install_or_lay_out
run_uninstaller "$product\\Zodadira.exe" uninstaller
check_removed installed

place "$percent_files"
install_or_lay_out
run_uninstaller "$product\\Zodadira.exe" uninstaller-percent
check_removed percent

# With the Unix link: its target stays whole; the folder is left for the
# user with the link in it, the uninstaller and the batch file are gone.
lay_out link
run_uninstaller "$product\\Zodadira.exe" uninstaller-link
[ -e "$drive_c/outside/kept.txt" ] || fail "the link's target was emptied"
[ -e "$dir/Zodadira.exe" ] && fail "the uninstaller stayed beside the link"
[ -e "$drive_c/clear.bat" ] && fail "the batch file stayed"
echo "left beside the link: $(ls -A "$dir" 2>/dev/null | tr '\n' ' ')"

# On a western code page a folder named with "€", which the console's code
# page lacks: the batch file cannot name it exactly, so it is not written;
# the user is told and the folder is left with the uninstaller in it.
if [ -n "$suffix" ]; then
  place 'C:\Apps € x'
  lay_out
  wine "$product\\Zodadira.exe" >> "$work/log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do [ -e "$dir/Zuzaror.exe" ] || break; sleep 0.1; done
  sleep 3.5
  import -window root "$shots/uninstaller-kept$suffix.png"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  [ -e "$drive_c/clear.bat" ] && fail "a batch file was written for a path it cannot name"
  [ -e "$dir/Zodadira.exe" ] || fail "the uninstaller went without its batch file"
  [ -e "$dir/Zuzaror.exe" ] && fail "the installation's files stayed"
  wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the Uninstall key stayed"
  rm -rf "$parent"
fi

# A copy on the desktop, with a record and a key that name the desktop.
cp "$ZZ_BIN/Zodadira.exe" "$desktop/"
record Zuzaror Zuzaror Zuzaror > "$desktop/Zodadira.dat"
wine reg add "$uninstall_key" /v InstallLocation /d "$(winepath -w "$desktop")" /f >/dev/null 2>&1
before=$(ls -A "$desktop" | sort)
wine "$(winepath -w "$desktop/Zodadira.exe")" > "$work/log2" 2>&1 &
pid=$!
sleep 2
import -window root "$shots/uninstaller-refused$suffix.png"
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
[ "$(ls -A "$desktop" | sort)" = "$before" ] || fail "the copy on the desktop deleted something"
wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the copy on the desktop deleted the key"
rm -f "$desktop/Zodadira.exe" "$desktop/Zodadira.dat" "$desktop/Other.lnk" "$programs/Other.lnk"
wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
rm -rf "$parent" "$drive_c/outside"

cat "$work/log"
[ $failed = 0 ] && echo "uninstaller round trip: ok"
exit $failed
