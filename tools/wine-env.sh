#!/usr/bin/env bash
# The Wine test environment: a prefix made once and kept in the build folder,
# a private Xvfb (24-bit, on a display it picks itself) with a compositing
# manager, a persistent wineserver and, for root, a private CUPS server whose
# one printer, the default, writes PDF files.
#
#   wine-env.sh start [ROOT]   create the prefix if needed, start the services
#   wine-env.sh prefix [ROOT]  only create the prefix (for a real display)
#   wine-env.sh stop  [ROOT]   stop whatever start started
#   wine-env.sh status [ROOT]  exit 0 when the services run
set -euo pipefail
cmd=${1:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-vars.sh
source "$here/wine-vars.sh" "${2:-}"
root=$ZZ_WINE_ROOT

# The machine reuses process ids within the hour (pid_max 32768 among several
# people's builds), so a pid left in a file by a run that was killed may name
# someone else's program by now: each file keeps the pid with the start time
# the kernel gave that process, and both must still match.
start_time() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f20; }
remember() { echo "$1 $(start_time "$1")" > "$2"; }
alive() {
  local pid when
  [ -s "$1" ] && read -r pid when < "$1" && [ -n "$when" ] && [ "$(start_time "$pid")" = "$when" ]
}

link_fonts() {
  # Debian's wine does not find the fonts of fonts-wine by itself: link them
  # into the prefix so caption buttons and dialogs draw with them.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*.ttf /usr/share/fonts/truetype/wqy/*.ttc; do
    [ -e "$f" ] && [ ! -e "$fonts/$(basename "$f")" ] && ln -sf "$f" "$fonts/$(basename "$f")"
  done
  return 0
}

make_prefix() {
  [ -f "$WINEPREFIX/.zz-ready" ] && { link_fonts; return 0; }
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null 9>&- || true
  wineserver -w 9>&-
  local reg="$root/prefix-settings.reg"
  # Managed=N: closing a window does not wait for a window manager.
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
REG
  # The Chinese face names, written as the registry's UTF-16 through regedit's
  # Unicode format.
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"宋体"="WenQuanYi Micro Hei"\r\n'
    printf '"新宋体"="WenQuanYi Micro Hei"\r\n'
    printf '"微软雅黑"="WenQuanYi Micro Hei"\r\n'
    printf '"黑体"="WenQuanYi Micro Hei"\r\n'
  } | iconv -f UTF-8 -t UTF-16 > "$root/prefix-fonts.reg"
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1 </dev/null 9>&-
  wine regedit /S "$(winepath -w "$root/prefix-fonts.reg")" >/dev/null 2>&1 </dev/null 9>&-
  link_fonts
  wineserver -w 9>&-
  touch "$WINEPREFIX/.zz-ready"
}

# The PDF printer needs root: CUPS runs its backend as root only. The server
# is our own (its configuration, spool and socket in the build folder), so
# nothing of the machine's printing is touched. The PDF files land in PDF/
# under the home folder of the user who printed.
start_printer() {
  [ "$(id -u)" = 0 ] && [ -x /usr/sbin/cupsd ] && [ -e /usr/lib/cups/backend/cups-pdf ] || return 0
  alive "$root/cupsd.pid" && return 0
  local cups="$root/cups" ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  [ ${#ZZ_CUPS_SOCKET} -lt 100 ] || { echo "wine-env: $ZZ_CUPS_SOCKET is too long for a socket" >&2; exit 1; }
  rm -rf "$cups"
  mkdir -p "$cups/etc" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log"
  cat > "$cups/etc/cups-files.conf" <<EOF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
Printcap $cups/printcap
SystemGroup root
FileDevice No
EOF
  cat > "$cups/etc/cupsd.conf" <<EOF
Listen $ZZ_CUPS_SOCKET
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
  /usr/sbin/cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf" \
    >"$cups/log/cupsd.out" 2>&1 </dev/null 9>&- &
  remember $! "$root/cupsd.pid"
  for _ in $(seq 100); do [ -S "$ZZ_CUPS_SOCKET" ] && break; sleep 0.05; done
  # lpadmin warns that printer drivers are deprecated: they still work.
  if ! CUPS_SERVER=$ZZ_CUPS_SOCKET lpadmin -p PDF -v cups-pdf:/ -P "$ppd" -E 2>"$cups/log/lpadmin.out" ||
     ! CUPS_SERVER=$ZZ_CUPS_SOCKET lpadmin -d PDF 2>>"$cups/log/lpadmin.out"; then
    cat "$cups/log/cupsd.out" "$cups/log/lpadmin.out" >&2
    echo "wine-env: the PDF printer could not be set up" >&2
    exit 1
  fi
  export CUPS_SERVER=$ZZ_CUPS_SOCKET
}

start() {
  mkdir -p "$root"
  exec 9>"$root/.lock"
  flock 9
  if ! alive "$root/xvfb.pid"; then
    rm -f "$root/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$root/display.tmp" \
      >"$root/xvfb.log" 2>&1 </dev/null 9>&- &
    remember $! "$root/xvfb.pid"
    for _ in $(seq 200); do [ -s "$root/display.tmp" ] && break; sleep 0.05; done
    [ -s "$root/display.tmp" ] || { cat "$root/xvfb.log" >&2; echo "wine-env: Xvfb did not start" >&2; exit 1; }
    tr -d '\n' < "$root/display.tmp" > "$root/display"
    rm -f "$root/display.tmp"
    export DISPLAY=":$(cat "$root/display")"
    # Every program of a test would fail without a word on a display that
    # does not answer.
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 ||
      { cat "$root/xvfb.log" >&2; echo "wine-env: Xvfb on $DISPLAY does not answer" >&2; exit 1; }
    # Per-pixel alpha of layered windows blends against black without one.
    if command -v xcompmgr >/dev/null; then
      xcompmgr -n >/dev/null 2>&1 </dev/null 9>&- &
      remember $! "$root/xcompmgr.pid"
    fi
  fi
  start_printer
  make_prefix
  if ! alive "$root/wineserver.pid"; then
    # The services keep their inherited descriptors: give them none of ours
    # (the lock included, or the next start would wait for ever).
    wineserver -f -p >/dev/null 2>&1 </dev/null 9>&- &
    remember $! "$root/wineserver.pid"
    # Start Wine's system processes now, with no descriptor of ours: the
    # first Wine program a test runs (even winepath in a script) would
    # otherwise hand them the test runner's output pipe, and the runner
    # would wait for its end for ever.
    wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&- || true
  fi
}

stop() {
  [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1 || true
  for p in wineserver cupsd xcompmgr xvfb; do
    if alive "$root/$p.pid"; then kill "$(cut -d' ' -f1 "$root/$p.pid")" 2>/dev/null || true; fi
    rm -f "$root/$p.pid"
  done
  rm -f "$root/display"
}

case "$cmd" in
  start) start ;;
  prefix) mkdir -p "$root"; exec 9>"$root/.lock"; flock 9; make_prefix ;;
  stop) stop ;;
  status) alive "$root/xvfb.pid" && [ -f "$WINEPREFIX/.zz-ready" ] ;;
  *) echo "usage: $0 start|prefix|stop|status [ROOT]" >&2; exit 2 ;;
esac
