# Sourced by the Wine scripts: the environment every Windows program of the
# build runs in. $1 is the folder that holds the prefix (default build/wine).
zz_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZZ_WINE_ROOT=${1:-${ZZ_WINE_ROOT:-$zz_root/build/wine}}
mkdir -p "$ZZ_WINE_ROOT/home"
export WINEPREFIX="$ZZ_WINE_ROOT/prefix"
export WINEARCH=win64
# Wine reads a file's rights back from its Unix mode: under a looser mask
# every folder made would read as one that every user may change, and the
# setup programs would refuse it.
umask 022
# The prefix's Desktop and Documents link to $HOME: keep them in the build.
export HOME="$ZZ_WINE_ROOT/home"
# Code page 936 for the ANSI APIs, and Chinese file names that Wine can open.
# ZZ_LOCALE=C.UTF-8 gives a program a western machine's code page (1252),
# on which the main program's Chinese must show all the same.
export LC_ALL=${ZZ_LOCALE:-zh_CN.UTF-8}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# The private CUPS server of wine-env.sh, while it runs: Wine prints there.
export ZZ_CUPS_SOCKET="$ZZ_WINE_ROOT/cups/socket"
if [ -S "$ZZ_CUPS_SOCKET" ]; then
  export CUPS_SERVER=$ZZ_CUPS_SOCKET
fi
if [ -s "$ZZ_WINE_ROOT/display" ]; then
  export DISPLAY=":$(cat "$ZZ_WINE_ROOT/display")"
fi
