#!/usr/bin/env bash
# The shipped installer end to end under Wine, in a Wine environment of its
# own (it changes HKLM, makes shortcuts and starts the main program): opened
# with a Program Files folder whose name holds Chinese, installed by a posted
# click on "安 装", and everything it made read back. Then once more on a
# western machine's code page, into another folder.
export ZZ_WINE_ROOT="$ZZ_BIN/../wine-installer"
source "$ZZ_TOOLS/screen-lib.sh" installer
trap 'rm -rf "$work"; [ -n "${listener:-}" ] && kill "$listener"; "$ZZ_TOOLS/wine-env.sh" stop' EXIT
stage="$ZZ_BIN/../installer_stage"
driver="$ZZ_BIN/installer_driver.exe"
title="QV-安装向导"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zuzaror'
fail() {
  echo "installer scenario: $*"
  import -window root "$shots/installer-failed.png" || true
  cat "$work/log" "$work/driver.log" 2>/dev/null
  exit 1
}
run_driver() { "$ZZ_WINE_RUN" "$driver" "$@" >> "$work/driver.log" 2>&1; }
text() { tr -d '\r' < "$work/$1"; }

# The statistics endpoint: a listener on a free port that the installer's
# proxy.dat beside it leads every report to.
python3 - "$work" <<'PY' &
import http.server, socketserver, sys
work = sys.argv[1]
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(work + "/requests", "a") as f: f.write(self.path + "\n")
        self.send_response(200); self.send_header("Content-Length", "2"); self.end_headers()
        self.wfile.write(b"ok")
    def log_message(self, *a): pass
with socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler) as server:
    open(work + "/port", "w").write(str(server.server_address[1]))
    server.serve_forever()
PY
listener=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
mkdir -p "$work/dl"
cp "$ZZ_BIN/Vodavezu.exe" "$work/dl/"
python3 - "$work/dl/proxy.dat" "$(cat "$work/port")" <<'PY'
import struct, sys
block = bytearray(428)
block[0:4] = struct.pack("<I", 1)
for offset, text in ((4, "127.0.0.1"), (204, sys.argv[2])):
    data = text.encode("utf-16-le"); block[offset:offset + len(data)] = data
open(sys.argv[1], "wb").write(bytes(block))
PY

# install <tag> <Program Files folder under C:\> <locale of the installer>
install() {
  local tag=$1 folder=$2 locale=$3 unix
  unix="$WINEPREFIX/drive_c/$folder"
  # The prefix outlives a run: an installation left by the last one would
  # make this a reinstallation, which keeps that run's ml.mdb.
  rm -rf "${unix:?}"
  mkdir -p "$unix"
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /t REG_SZ \
    /d "C:\\$folder" /f > /dev/null 2>&1 || fail "cannot set ProgramFilesDir"
  rm -f "$work/requests" "$work/ready" "$work/process"
  ZZ_LOCALE=$locale "$ZZ_WINE_RUN" "$work/dl/Vodavezu.exe" > "$work/log" 2>&1 &
  pid=$!
  run_driver wait "$title" "$(winepath -w "$work/ready")" || fail "$tag: no installer window; $(text ready)"
  photograph "installer-$tag-idle"
  run_driver click "$title" 145 194
  sleep 0.6
  photograph "installer-$tag-hourglass"
  finish 0 "installer-$tag-idle" "installer-$tag-hourglass"

  # The main program was started from the installed folder.
  run_driver process Zuzaror.exe "$(winepath -w "$work/process")" ||
    fail "$tag: the main program was not started; $(text process)"
  [ "$(text process)" = "C:\\$folder\\Zuzaror\\Zuzaror.exe" ] || fail "$tag: started $(text process)"
  local f
  for f in Zodadira.exe 1021.ini ml.mdb SkinH_EL.dll tjbb.grd wrbb.grd Zuzaror.exe; do
    cmp -s "$stage/$f" "$unix/Zuzaror/$f" || fail "$tag: $f differs from its source"
  done
  wine reg query "$key" > "$work/reg" 2>&1 || fail "$tag: no Uninstall key"
  for f in DisplayName DisplayVersion Publisher HelpLink DisplayIcon UninstallString InstallLocation; do
    grep -q "$f" "$work/reg" || fail "$tag: no $f in the Uninstall key"
  done
  grep -q 'UninstallString *REG_SZ *"C:' "$work/reg" || fail "$tag: UninstallString is not quoted"
  grep -q 'Zuzaror 3.0.3.28' "$work/reg" || fail "$tag: DisplayName"
  local program="C:\\$folder\\Zuzaror\\Zuzaror.exe"
  run_driver lnk 'desktop:Zuzaror.lnk' "$(winepath -w "$work/l1")"
  run_driver lnk 'programs:Zuzaror\Zuzaror.lnk' "$(winepath -w "$work/l2")"
  run_driver lnk 'programs:Zuzaror\卸载.lnk' "$(winepath -w "$work/l3")"
  [ "$(text l1)" = "$program" ] || fail "$tag: desktop shortcut leads to $(text l1)"
  [ "$(text l2)" = "$program" ] || fail "$tag: start-menu shortcut leads to $(text l2)"
  [ "$(text l3)" = "C:\\$folder\\Zuzaror\\Zodadira.exe" ] || fail "$tag: uninstall shortcut leads to $(text l3)"
  # The web-site shortcut leads where the Uninstall key's HelpLink does.
  run_driver url 'programs:Zuzaror\官方网站.url' "$(winepath -w "$work/url")"
  [ -n "$(text url)" ] && [ "$(text url)" = "$(tr -d '\r' < "$work/reg" | awk '$1 == "HelpLink" { print $3 }')" ] ||
    fail "$tag: 官方网站.url leads to '$(text url)'"
  [ "$(stat -c %s "$unix/Zuzaror/Zodadira.dat")" = 360 ] || fail "$tag: the record is not 360 bytes"
  run_driver record "C:\\$folder\\Zuzaror\\Zodadira.dat" "$(winepath -w "$work/record")" ||
    fail "$tag: the record does not decode"
  [ "$(text record | tr '\n' '|')" = 'Zuzaror|UserData\|Zuzaror|Zuzaror|' ] || fail "$tag: record $(text record)"

  # Both reports reached the listener with the stored installation id.
  local uid
  uid=$(wine reg query 'HKCU\SOFTWARE\Vudozuvo' /v UID 2>/dev/null | grep -o 'QV[0-9]*' | head -1)
  [ -n "$uid" ] || fail "$tag: no installation id"
  for _ in $(seq 50); do [ "$(grep -c "$uid" "$work/requests" 2>/dev/null)" -ge 2 ] && break; sleep 0.1; done
  grep "type=open" "$work/requests" | grep -q "$uid" || fail "$tag: no open report"
  grep "type=install" "$work/requests" | grep "Zuzaror" | grep -q "$uid" || fail "$tag: no install report"
  echo "installer scenario ($tag): ok"
}

install cp936 "程序 文件" zh_CN.UTF-8

# The library's box zooms in over the centre of the screen: photographed
# once its white body rests there.
photograph_box() {
  for _ in $(seq 40); do
    sleep 0.5
    photograph "$1"
    [ "$(/usr/bin/convert "$shots/$1.png" -format '%[fx:int(255*p{515,520}.r)]' info:)" -gt 230 ] && return 0
  done
  fail "$1: the box did not come to rest at the centre of the screen within 20 s"
}

# refused <tag> <Program Files folder under C:\>: the installer opened there
# and Install pressed; its box is photographed and answered, and nothing is
# started.
refused() {
  local tag=$1
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /t REG_SZ \
    /d "C:\\$2" /f > /dev/null 2>&1
  "$ZZ_WINE_RUN" "$work/dl/Vodavezu.exe" > "$work/log" 2>&1 &
  pid=$!
  run_driver wait "$title" "$(winepath -w "$work/ready")" || fail "$tag: no installer window; $(text ready)"
  run_driver click "$title" 145 194
  run_driver wait "$title" "$(winepath -w "$work/box")" 300 200 || fail "$tag: no box; $(text box)"
  photograph_box "installer-$tag"
  run_driver click "$title" 150 182 300 200
  finish 0 "installer-$tag"
  run_driver absent Zuzaror.exe "$(winepath -w "$work/process")" || fail "$tag: a program was started; $(text process)"
  echo "installer scenario ($tag): ok"
}

# A reinstallation while the main program's file is held, as Windows holds a
# running program's: the box names the file, and the installation stays as
# it was, with nothing half-written beside it.
installed="$WINEPREFIX/drive_c/程序 文件/Zuzaror"
echo earlier > "$installed/wrbb.grd"
run_driver hold 'C:\程序 文件\Zuzaror\Zuzaror.exe' "$(winepath -w "$work/held")" &
holder=$!
for _ in $(seq 600); do [ -e "$work/held" ] || ! kill -0 $holder 2>/dev/null && break; sleep 0.1; done
[ -e "$work/held" ] || fail "held: the program's file could not be held"
refused held "程序 文件"
rm -f "$work/held"
wait $holder || true
[ "$(cat "$installed/wrbb.grd")" = earlier ] || fail "held: the installation changed"
ls "$installed" | grep -qE '\.(part|old)$' && fail "held: files were left beside the installation"

# A product folder that is a link to a folder elsewhere: nothing reaches it.
mkdir -p "$WINEPREFIX/drive_c/链接" "$WINEPREFIX/drive_c/别处"
ln -sfn "$WINEPREFIX/drive_c/别处" "$WINEPREFIX/drive_c/链接/Zuzaror"
wine reg delete "$key" /f > /dev/null 2>&1 || true
refused linked "链接"
[ -z "$(ls -A "$WINEPREFIX/drive_c/别处")" ] || fail "linked: files were written through the link"
wine reg query "$key" > /dev/null 2>&1 && fail "linked: the Uninstall key was written"
rm -rf "$WINEPREFIX/drive_c/链接" "$WINEPREFIX/drive_c/别处"

install cp1252 "程序二" C.UTF-8

# 取 消 before installing: the close animation plays and the process ends;
# no file, key or shortcut is made. The earlier installations' shortcuts go
# first, found where they were made.
user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zuzaror"
[ -e "$user_dir/Desktop/Zuzaror.lnk" ] && [ -e "$menu/官方网站.url" ] || fail "cancel: no earlier shortcuts in $user_dir"
rm -f "$user_dir/Desktop/Zuzaror.lnk"
rm -rf "$menu"
wine reg delete "$key" /f > /dev/null 2>&1 || true
rm -rf "${WINEPREFIX:?}/drive_c/取消"
mkdir -p "$WINEPREFIX/drive_c/取消"
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /t REG_SZ /d 'C:\取消' /f \
  > /dev/null 2>&1
"$ZZ_WINE_RUN" "$work/dl/Vodavezu.exe" > "$work/log" 2>&1 &
pid=$!
run_driver wait "$title" "$(winepath -w "$work/ready")"
# A press during the opening animation can be lost: pressed again then.
for attempt in 1 2; do
  run_driver click "$title" 70 194
  for _ in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null || break
done
finish 0
[ -z "$(ls -A "$WINEPREFIX/drive_c/取消")" ] || fail "cancel: files were written"
wine reg query "$key" > /dev/null 2>&1 && fail "cancel: the Uninstall key was written"
[ -e "$user_dir/Desktop/Zuzaror.lnk" ] || [ -e "$menu" ] && fail "cancel: shortcuts were made"
echo "installer scenario (cancel): ok"

# 更改: a folder of the desktop chosen in the system's folder picker, for
# the product folder to go inside it. Wine's desktop is a link to a folder
# of its host: reached through it, the installation is refused, the link
# named, nothing written; on a real folder of the desktop, as Windows has
# it, the program is installed there and started from there.
change() {  # screenshot
  "$ZZ_WINE_RUN" "$work/dl/Vodavezu.exe" > "$work/log" 2>&1 &
  pid=$!
  run_driver wait "$title" "$(winepath -w "$work/ready")"
  for attempt in 1 2; do
    run_driver click "$title" 235 148
    run_driver pick 选定 && break
    [ $attempt = 2 ] && fail "change: no folder picker asking 请选择文件夹, or no 选定 in it"
  done
  photograph "$1"
  run_driver click "$title" 145 194
}
picked="$user_dir/Desktop/选定"
# As the prefix was made: a run cut short may have left a real folder.
rm -rf "$user_dir/Desktop"
ln -s "$HOME" "$user_dir/Desktop"
rm -rf "$picked"
mkdir -p "$picked"
change installer-change-linked
run_driver wait "$title" "$(winepath -w "$work/box")" 300 200 || fail "change: no box; $(text box)"
photograph_box installer-change-refused
run_driver click "$title" 150 182 300 200
finish 0 installer-change-linked installer-change-refused
[ -z "$(ls -A "$picked")" ] || fail "change: files were written through the linked desktop"
wine reg query "$key" > /dev/null 2>&1 && fail "change: the Uninstall key was written"
rm "$user_dir/Desktop"
mkdir -p "$picked"
change installer-change
finish 0 installer-change
run_driver process Zuzaror.exe "$(winepath -w "$work/process")" || fail "change: the main program was not started"
[[ "$(text process)" == *'\选定\Zuzaror\Zuzaror.exe' ]] || fail "change: started $(text process)"
cmp -s "$stage/Zuzaror.exe" "$picked/Zuzaror/Zuzaror.exe" || fail "change: Zuzaror.exe is not in the chosen folder"
[ -z "$(ls -A "$WINEPREFIX/drive_c/取消")" ] || fail "change: files went to the folder before the change"
rm -rf "$user_dir/Desktop"
ln -s "$HOME" "$user_dir/Desktop"
echo "installer scenario (change): ok"

# A damaged download: one bit flipped among the last packed bytes of
# tjbb.grd, where the reader alone still decodes it, to other bytes; only the
# digest can tell. The whole payload is checked before the first file is
# written, so not even the first entry may appear; nothing is registered or
# started, and the library's box says so.
run_driver flip "$(winepath -w "$work/dl/Vodavezu.exe")" 'Zuzaror\tjbb.grd' ||
  fail "damaged: no one-bit flip of tjbb.grd decodes cleanly"
folder="敌意"
# The Wine environment outlives a run: an earlier one may have left files here.
rm -rf "${WINEPREFIX:?}/drive_c/$folder"
mkdir -p "$WINEPREFIX/drive_c/$folder"
wine reg delete "$key" /f > /dev/null 2>&1 || true
refused damaged "$folder"
[ -z "$(ls -A "$WINEPREFIX/drive_c/$folder")" ] || fail "damaged: files were written"
wine reg query "$key" > /dev/null 2>&1 && fail "damaged: the Uninstall key was written"
echo "installer scenario (damaged payload): ok"
