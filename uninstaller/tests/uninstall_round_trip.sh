#!/usr/bin/env bash
# The round trip a bookkeeper makes, in a Wine prefix of its own (the
# programs delete folders): the shipped installer installs into a Program
# Files with a percent sign (and, in the Chinese locale, Chinese
# characters); the program it starts backs up at once, keeps a marked day
# and backs up again; the uninstaller, started from its start-menu shortcut
# as a user starts it and closed at once by the system, goes on: it saves
# the books and every file below back\ and temp\ (in a subfolder,
# read-only, parked by a failed restore) to the common documents, says
# where, and removes the installation with its key, its four shortcuts and
# its batch file, while the parent folder, other programs' shortcuts, the
# installation id and the target of a link inside stay. A reinstallation
# restores the saved database and finds the marked day; the uninstaller
# refuses while the program's log-in window is open and while a write cut
# short left a hot journal, until the program has run once; uninstalled as
# the list of installed programs starts it, everything goes again. Then what
# must not be removed: a file that came into back\ while the box that says
# where the books went stood open, a backup that cannot be read, an
# installation folder that is a link, and a copy of the uninstaller on the
# desktop whose record and key name the desktop. Each refusal is checked by
# the notice the uninstaller wrote to its standard error. And what another
# user may have made first where the uninstaller writes, a link into the
# installation at the save folder's name with every numbered name taken, a
# save folder everyone may change, a file at its name, a folder at the batch
# file's name, is passed by and left as it is.
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

driver="$ZZ_BIN/installer_driver.exe"
keeper="$ZZ_BIN/scenario_driver.exe"
for f in "$ZZ_BIN/Vodavezu.exe" "$driver" "$keeper"; do
  [ -e "$f" ] || { echo "uninstaller round trip: $(basename "$f") is not built"; exit 1; }
done
suffix=${ZZ_LOCALE:+-${ZZ_LOCALE%%.*}}
suffix=${suffix,,}
if [ -n "$suffix" ]; then
  program_files='C:\Apps %PATH% x'
else
  program_files='C:\程序%PATH%文件'
fi
title="Dravolin-卸载程序"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zuzaror'
drive_c="$WINEPREFIX/drive_c"
unix_of() { winepath -u "$1" 2>/dev/null; }
fail() { echo "FAIL: $*"; failed=1; }
failed=0
run() { "$ZZ_WINE_RUN" "$@" >> "$work/log" 2>&1; }
# The batch files the uninstaller left at the root of drive C:; each has one
# name, unlike another's file a case links there.
batches() { find "$drive_c" -maxdepth 1 -type f -links 1 -iname 'clear*.bat'; }

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
saved_root="$drive_c/users/Public/Documents/Zuzaror 数据"
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

# Where the next installation goes: HKLM ProgramFilesDir and the product folder.
place() {
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /d "$1" /f >/dev/null 2>&1
  product="$1\\Zuzaror"
  dir=$(unix_of "$product")
  parent=$(dirname "$dir")
}

# The installation as the installer leaves it, laid out by hand, with the
# main program's own files and a folder the removal skips (".cache"); with
# "link", also a Unix symbolic link to a folder outside, which Wine can
# neither remove nor keep its command interpreter's "rd /s" from following.
lay_out() {
  rm -rf "$parent"
  mkdir -p "$dir/UserData/备份" "$dir/.cache" "$dir/back" "$drive_c/outside"
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
  others
}
others() {
  echo lnk > "$programs/Other.lnk"
  echo lnk > "$desktop/Other.lnk"
  echo other > "$parent/other.txt"
}

# The shipped installer, installed by a posted click on its button. The
# main program it starts is handed to `then`: "books" keeps a marked day and
# two backups in it, anything else ends it.
install() {  # then
  mkdir -p "$work/dl" "$parent"
  cp "$ZZ_BIN/Vodavezu.exe" "$work/dl/"
  proxy "$port" > "$work/dl/proxy.dat"
  wine "$work/dl/Vodavezu.exe" >> "$work/log" 2>&1 &
  local installer=$!
  run "$driver" wait "QV-安装向导" "$(winepath -w "$work/ready")"
  run "$driver" click "QV-安装向导" 145 194
  wait $installer || fail "the installer failed"
  if [ "$1" = books ]; then
    run "$keeper" books 4321 || fail "the installed program did not keep the books"
  else
    sleep 3
    run "$driver" process Zuzaror.exe "$(winepath -w "$work/process")" ||
      fail "the installer did not start the main program"
    sleep 1  # its windows go with it
  fi
  proxy "$port" > "$dir/proxy.dat"
  others
  echo "installed: $(ls -A "$dir" | tr '\n' ' ')"
}

# Waits for the library's box over the uninstaller, photographs it, runs
# $on_box with its name, and presses its 确定 until it is gone.
on_box=
answer_box() {  # shot
  rm -f "$work/box"
  run "$driver" wait "$title" "$(winepath -w "$work/box")" 300 200 || { fail "no box for $1"; return; }
  sleep 1
  import -window root "$shots/$1$suffix.png"
  [ -z "$on_box" ] || "$on_box" "$1"
  for _ in $(seq 10); do
    run "$driver" click "$title" 150 182 300 200 || true
    sleep 0.5
    run "$driver" alive "$(cat "$work/box")" || return 0
  done
  fail "the box for $1 did not close"
}

# Runs the uninstaller by a command that returns at once or when the
# uninstaller ends, photographs its window, answers the boxes given, and
# waits for the uninstaller and its batch file to be gone. With close_first
# set, a close is posted to its window as soon as it shows. What it wrote
# is in run.log.
close_first=
run_uninstaller() {  # shot "box shots..." command...
  local shot=$1 boxes=$2 box
  shift 2
  "$@" > "$work/run.log" 2>&1 &
  pid=$!
  if [ -n "$close_first" ]; then
    run "$driver" close "$title" || fail "$shot: no window to close"
    close_first=
  fi
  sleep 2
  import -window root "$shots/$shot$suffix.png"
  sleep 1.2
  import -window root "$shots/$shot-erasing$suffix.png"
  for box in $boxes; do answer_box "$box"; done
  # Its window gone and its batch file done.
  for _ in $(seq 100); do
    if ! run "$driver" shown "$title" 450 230 && [ -z "$(batches)" ]; then break; fi
    sleep 0.2
  done
  wait $pid 2>/dev/null || true
  sleep 1
  cat "$work/run.log" >> "$work/log"
}

# The uninstaller also writes each notice it shows to its standard error:
# the line given must be among what the last run wrote, followed by the
# second line given, or by none.
said() {  # tag line [second line]
  local tag=$1 line=$2 second=${3:-} next
  if ! grep -qxF -- "$line" "$work/run.log"; then
    fail "$tag: not told \"$line\" but: $(grep -v '^[[:space:]]*$' "$work/run.log" | tail -3 | tr '\n' '|')"
    return
  fi
  next=$(grep -A1 -xF -- "$line" "$work/run.log" | sed -n 2p)
  [ "$next" = "$second" ] || fail "$tag: told \"$next\" below \"$line\", not \"$second\""
}

# Everything of the installation is gone, nothing else is.
check_removed() {  # tag
  [ -e "$dir" ] && fail "$1: the product folder stayed: $(ls -A "$dir")"
  [ -n "$(batches)" ] && fail "$1: the batch file stayed: $(batches)"
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

# The one folder of saved data, byte for byte what the installation held:
# the database beside the folders back\ and temp\ with what they held.
check_saved() {  # tag [least number of backups] [folder of the saved folders]
  local saved n=0 f
  saved=$(find "${3:-$saved_root}" -mindepth 1 -maxdepth 1 -type d 2>/dev/null || true)
  [ "$(echo "$saved" | grep -c .)" = 1 ] || { fail "$1: saved data folders: $saved"; return; }
  saved_db="$saved/$(basename "$saved").ml"
  cmp -s "$work/books/ml.mdb" "$saved_db" || fail "$1: the database was not saved whole"
  while IFS= read -r -d '' f; do
    cmp -s "$work/books/$f" "$saved/$f" || fail "$1: $f was not saved whole"
    case $f in back/*) n=$((n + 1)) ;; esac
  done < <(cd "$work/books" && find back temp -type f -print0 2>/dev/null)
  [ -z "$(find "$saved" -type f ! -perm -u+w)" ] || fail "$1: a saved copy is read-only"
  echo "$1: saved in $(basename "$saved"): $(cd "$saved" && find . -type f | sort | tr '\n' ' ')"
  [ "$n" -ge "${2:-0}" ] || fail "$1: $n backups, expected ${2:-0}"
}
keep_books() {
  rm -rf "$work/books" "$saved_root"
  mkdir -p "$work/books"
  saved_db=
  cp "$dir/ml.mdb" "$work/books/"
  for f in back temp; do [ -d "$dir/$f" ] && cp -r "$dir/$f" "$work/books/"; done
  chmod -R u+w "$work/books"
}

# Nothing saved, nothing removed: files, key, shortcuts and record stay.
check_untouched() {  # tag
  for f in Zodadira.exe Zuzaror.exe ml.mdb Zodadira.dat; do [ -e "$dir/$f" ] || fail "$1: $f went"; done
  wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "$1: the Uninstall key went"
  [ -e "$programs/Zuzaror/卸载.lnk" ] || fail "$1: the shortcuts went"
  [ -n "$(batches)" ] && fail "$1: a batch file was written"
  [ -d "$saved_root" ] && [ -n "$(ls -A "$saved_root")" ] && fail "$1: something was saved"
  return 0
}

# The journal's first bytes: the mark of a write to roll back.
journal_is_hot() {
  [ "$(head -c 8 "$dir/ml.mdb-journal" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = d9d505f920a163d7 ]
}

place "$program_files"
rm -rf "$parent"
install books
[ "$(ls "$dir/back" | wc -l)" = 2 ] || fail "the installed program's two backups: $(ls "$dir/back")"
# What years of use leave: a backup moved into a folder of its own, a
# read-only one, and the database a failed restore parked.
mkdir -p "$dir/back/2023" "$dir/temp"
cp "$dir/ml.mdb" "$dir/back/2023/旧备份.ml"
echo read-only > "$dir/back/只读.ml"
chmod a-w "$dir/back/只读.ml"
{ cat "$dir/ml.mdb"; echo parked; } > "$dir/temp/ml.mdb"
keep_books
# As the start menu starts it: in the installation folder; closed at once.
close_first=1
run_uninstaller uninstaller "uninstaller-saved" "$ZZ_WINE_RUN" "$driver" start-lnk 'programs:Zuzaror\卸载.lnk'
check_removed shortcut
check_saved shortcut 4

# A reinstallation, and the saved database restored into it.
install end
run "$keeper" restore "$product" "$(winepath -w "$saved_db")" 4321 || fail "the restored books lack the marked day"

rm -rf "$saved_root"

# While the program's log-in window is open: refused, nothing saved or removed.
run "$driver" start-lnk 'programs:Zuzaror\Zuzaror.lnk' || fail "running: the program did not start"
run "$driver" wait "登陆系统" "$(winepath -w "$work/login")" || fail "running: no log-in window"
run_uninstaller uninstaller-running "uninstaller-running-refused" wine "$product\\Zodadira.exe"
check_untouched running
said running "请关闭正在运行的程序后重新卸载，没有删除任何文件。"
run "$driver" process Zuzaror.exe "$(winepath -w "$work/process")" || fail "running: the program ended"
sleep 1

# A write cut short: the pages it changed are in the database, the old ones
# only in the journal beside it. Refused, nothing saved or removed; the
# program run once rolls the journal back, and then the uninstall goes on.
python3 - "$dir/ml.mdb" <<'PY'
import os, sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("PRAGMA cache_size=2")
db.execute("BEGIN")
db.execute("CREATE TABLE torn(x)")
db.execute("INSERT INTO torn VALUES (randomblob(400000))")
os._exit(0)
PY
journal_is_hot || fail "journal: the cut write left no hot journal"
run_uninstaller uninstaller-journal "uninstaller-journal-refused" wine "$product\\Zodadira.exe"
check_untouched journal
said journal "数据库上次没有正常关闭，请先运行一次程序后重新卸载，没有删除任何文件。"
journal_is_hot || fail "journal: the journal changed"
run "$keeper" once "$product" || fail "journal: the program did not run once"
[ -e "$dir/ml.mdb-journal" ] && fail "journal: the program did not roll the journal back"
python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
ok = db.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
sys.exit(0 if ok and not db.execute("SELECT 1 FROM sqlite_master WHERE name=\x27torn\x27").fetchall() else 1)' \
  "$dir/ml.mdb" || fail "journal: the database is not whole after the roll-back"
keep_books
# reg writes in the console's code page.
command=$(wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
          iconv -f "$([ -n "$suffix" ] && echo CP1252 || echo GBK)" -t UTF-8 | sed -n 's/.*REG_SZ[[:space:]]*//p')
command=${command#\"}
# A batch file an earlier run left, as only the administrators may change
# it: replaced by this run's, which goes as it should.
printf 'del %%0' > "$drive_c/clear.bat"
run_uninstaller uninstaller-listed "uninstaller-saved-again" wine "${command%\"}"
check_removed listed
check_saved listed

# With the Unix link: its target stays whole; the folder is left for the
# user with the link in it, the uninstaller and the batch file are gone.
lay_out link
run_uninstaller uninstaller-link "uninstaller-link-saved" wine "$product\\Zodadira.exe"
[ -e "$drive_c/outside/kept.txt" ] || fail "the link's target was emptied"
[ -e "$dir/Zodadira.exe" ] && fail "the uninstaller stayed beside the link"
[ -n "$(batches)" ] && fail "the batch file stayed"
echo "left beside the link: $(ls -A "$dir" 2>/dev/null | tr '\n' ' ')"

# While the box that says where the books went stands open, a file comes
# into back\: it exists nowhere else, so the folder stays with it, and the
# user is told; the uninstaller and its batch file go.
late_file() {
  [ "$1" = uninstaller-late-saved ] || return 0
  mkdir -p "$dir/back"
  echo late > "$dir/back/后来.ml"
}
lay_out
keep_books
on_box=late_file
run_uninstaller uninstaller-late "uninstaller-late-saved uninstaller-late-kept" wine "$product\\Zodadira.exe"
on_box=
[ -e "$dir/back/后来.ml" ] || fail "late file: the file that came while the box was open went"
[ -e "$dir/Zodadira.exe" ] && fail "late file: the uninstaller stayed"
said "late file" "文件夹“$product”中有未保存的文件，已保留该文件夹。"
check_saved "late file"

# The folder their data go to, made beforehand by another user as a link
# into the installation, and every other numbered name the uninstaller
# would try (up to "(100)") taken by a file: all are passed by and left as
# they are, the books go whole to a name with a random part, and the
# installation goes.
lay_out
mkdir -p "$dir/temp"
keep_books
rm -rf "$saved_root"\(*\)
ln -s "$dir/temp" "$saved_root"
for n in $(seq 2 100); do echo theirs > "$saved_root($n)"; done
run_uninstaller uninstaller-random "uninstaller-random-saved" wine "$product\\Zodadira.exe"
check_removed "random name"
random_root=$(find "$(dirname "$saved_root")" -maxdepth 1 -type d | grep -E '\([0-9a-f]{16}\)$' || true)
[ -n "$random_root" ] || fail "random name: no folder with a random part: $(ls "$(dirname "$saved_root")" | tail -3)"
check_saved "random name" 0 "$random_root"
random_name=$(basename "$random_root")
grep -qF "您的数据已保存在：C:\\users\\Public\\Documents\\$random_name\\" "$work/run.log" ||
  fail "random name: not told the books went to \"$random_name\": $(tr '\n' '|' < "$work/run.log")"
[ -L "$saved_root" ] || fail "random name: the link at the folder's name went"
[ "$(cat "$saved_root"\(*\) 2>/dev/null | grep -c theirs)" = 99 ] || fail "random name: a file at a numbered name changed"
rm -rf "$saved_root" "$saved_root"\(*\)

# What another user may have made first where the uninstaller writes: a
# "Zuzaror 数据" everyone may change, with a file of theirs in it, a file
# named "Zuzaror 数据(2)", a folder named c:\clear.bat holding a file, and
# c:\clear(2).bat a second name of a file of theirs (a hard link: Wine
# shows a host's symbolic link to a file as the file itself). Each is passed
# by and left as it is; the books go to "Zuzaror 数据(3)", and the
# installation goes whole.
lay_out
keep_books
rm -rf "$drive_c/clear.bat"
mkdir -p "$saved_root" "$drive_c/clear.bat"
echo theirs > "$saved_root/theirs.txt"
chmod 777 "$saved_root"
echo theirs > "$saved_root(2)"
echo theirs > "$drive_c/clear.bat/theirs.txt"
echo theirs > "$work/theirs.bat"
ln -f "$work/theirs.bat" "$drive_c/clear(2).bat"
run_uninstaller uninstaller-passed-by "uninstaller-passed-by-saved" wine "$product\\Zodadira.exe"
check_removed "passed by"
check_saved "passed by" 0 "$saved_root(3)"
grep -qF '您的数据已保存在：C:\users\Public\Documents\Zuzaror 数据(3)\' "$work/run.log" ||
  fail "passed by: not told the books went to \"Zuzaror 数据(3)\": $(tr '\n' '|' < "$work/run.log")"
[ "$(ls -A "$saved_root")" = theirs.txt ] || fail "passed by: written into the folder everyone may change"
[ "$(cat "$saved_root(2)")" = theirs ] || fail "passed by: the file at the folder's name changed"
[ "$(ls -A "$drive_c/clear.bat")" = theirs.txt ] || fail "passed by: the folder named clear.bat changed"
[ "$(cat "$drive_c/clear(2).bat" "$work/theirs.bat")" = "$(printf 'theirs\ntheirs')" ] ||
  fail "passed by: the file named clear(2).bat changed"
rm -rf "$saved_root" "$saved_root(2)" "$saved_root(3)" "$drive_c/clear.bat" "$drive_c/clear(2).bat"

# A backup that cannot be read (a Unix socket): the box names it on its
# second line, and nothing goes.
lay_out
(cd "$dir/back" && python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind("不可读.ml")')
run_uninstaller uninstaller-unreadable "uninstaller-unreadable-refused" wine "$product\\Zodadira.exe"
check_untouched "unreadable backup"
said "unreadable backup" "无法保存您的数据，没有删除任何文件。" 'back\不可读.ml'

# An installation folder that is itself a link: refused, its target whole.
rm -rf "$drive_c/real-installation"
mv "$dir" "$drive_c/real-installation"
ln -s "$drive_c/real-installation" "$dir"
run_uninstaller uninstaller-linked-folder "uninstaller-linked-refused" wine "$product\\Zodadira.exe"
[ -e "$drive_c/real-installation/Zuzaror.exe" ] || fail "the linked installation was emptied"
said "linked installation" "这里没有可以卸载的完整安装，没有删除任何文件。"
rm -rf "$dir" "$drive_c/real-installation" "$saved_root"

# On a western code page a folder named with "€", which the console's code
# page lacks: the batch file cannot name it exactly, so it is not written;
# the user is told and the folder is left with the uninstaller in it.
if [ -n "$suffix" ]; then
  place 'C:\Apps € x'
  lay_out
  run_uninstaller uninstaller-euro "uninstaller-euro-saved uninstaller-kept" wine "$product\\Zodadira.exe"
  [ -n "$(batches)" ] && fail "a batch file was written for a path it cannot name"
  [ -e "$dir/Zodadira.exe" ] || fail "the uninstaller went without its batch file"
  [ -e "$dir/Zuzaror.exe" ] && fail "the installation's files stayed"
  wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the Uninstall key stayed"
  rm -rf "$parent" "$saved_root"
fi

# A copy on the desktop, with a record and a key that name the desktop.
cp "$ZZ_BIN/Zodadira.exe" "$desktop/"
record Zuzaror Zuzaror Zuzaror > "$desktop/Zodadira.dat"
wine reg add "$uninstall_key" /v InstallLocation /d "$(winepath -w "$desktop")" /f >/dev/null 2>&1
before=$(ls -A "$desktop" | sort)
wine "$(winepath -w "$desktop/Zodadira.exe")" > "$work/run.log" 2>&1 &
pid=$!
answer_box uninstaller-refused
wait $pid 2>/dev/null || true
said "copy on the desktop" "这里没有可以卸载的完整安装，没有删除任何文件。"
[ "$(ls -A "$desktop" | sort)" = "$before" ] || fail "the copy on the desktop deleted something"
wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the copy on the desktop deleted the key"
rm -f "$desktop/Zodadira.exe" "$desktop/Zodadira.dat" "$desktop/Other.lnk" "$programs/Other.lnk"
wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
rm -rf "$parent" "$drive_c/outside"

cat "$work/log"
[ $failed = 0 ] && echo "uninstaller round trip: ok"
exit $failed
