#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing: the MinGW-w64 and
# native toolchains, Wine with a Chinese locale, Xvfb, fonts, and the
# third-party sources the build compiles in. Safe to run again: a ready
# machine finishes in seconds.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
third="$here/third_party"

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils xcompmgr imagemagick
  locales fonts-wqy-microhei fonts-wine
  googletest lzma-dev libz-mingw-w64 libz-mingw-w64-dev
  sqlite3 clang libclang-rt-14-dev zlib1g-dev libpng-dev xz-utils
)
# Node.js and npm often come with the machine; Debian's npm only when absent.
command -v npm >/dev/null 2>&1 || packages+=(npm)

need=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${need[*]}); run this script as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine reads the ANSI code page from the locale: zh_CN.UTF-8 gives 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "setup: locale zh_CN.UTF-8 missing; run this script as root" >&2
    exit 1
  fi
fi

# The SQLite amalgamation, as shipped inside a pinned npm package.
sqlite_pkg=better-sqlite3
sqlite_ver=$(cat "$here/tools/sqlite.version")
sqlite_sum=$(cat "$here/tools/sqlite.sha256")
if [ ! -f "$third/sqlite3/sqlite3.c" ] || [ "$(cat "$third/sqlite3/.from" 2>/dev/null)" != "$sqlite_ver" ]; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  (cd "$tmp" && npm pack --silent "$sqlite_pkg@$sqlite_ver" >/dev/null)
  tgz="$tmp/$sqlite_pkg-$sqlite_ver.tgz"
  echo "$sqlite_sum  $tgz" | sha256sum -c --quiet -
  mkdir -p "$third/sqlite3"
  tar -xzf "$tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  cp "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$third/sqlite3/"
  echo "$sqlite_ver" > "$third/sqlite3/.from"
fi
echo "setup: ready"
