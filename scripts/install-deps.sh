#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the panel need; skips what is there.
set -euo pipefail

packages=(
  cmake ninja-build git
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  libgtest-dev
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick
  unixodbc libsqliteodbc tdsodbc sqlite3
  clang libclang-rt-dev
  nsis zip unzip osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
