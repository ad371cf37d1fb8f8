#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the panel need; skips what is there. The
# tests install nothing themselves: what they use is installed here.
set -euo pipefail

packages=(
  cmake ninja-build git
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  libgtest-dev
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick
  unixodbc libsqliteodbc tdsodbc sqlite3
  clang libclang-rt-dev
  nsis zip unzip osslsigncode openssl p7zip-full
  softhsm2 opensc libengine-pkcs11-openssl diffoscope-minimal
  locales
  debootstrap
)
# osslsigncode before 2.9 fails when given OpenSSL's PKCS#11 engine by path; bookworm itself has 2.5.
osslsigncode_least=2.9
locales_needed=(ja_JP.UTF-8 ru_RU.UTF-8)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_install() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@"; }
installed_version() { dpkg-query -W -f='${Status} ${Version}' "$1" 2>/dev/null | sed -n 's/^install ok installed //p'; }

missing=()
for p in "${packages[@]}"; do
  [ -n "$(installed_version "$p")" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  apt_install "${missing[@]}"
fi

if dpkg --compare-versions "$(installed_version osslsigncode)" lt "$osslsigncode_least"; then
  # Backports only for this package, and its source added only when it is needed.
  . /etc/os-release
  source_file=/etc/apt/sources.list.d/quenmarel-backports.sources
  if [ ! -f "$source_file" ]; then
    echo "Adding ${VERSION_CODENAME}-backports for osslsigncode $osslsigncode_least"
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
      "$VERSION_CODENAME" /usr/share/keyrings/debian-archive-keyring.gpg | "${sudo_cmd[@]}" tee "$source_file" >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  apt_install -t "${VERSION_CODENAME}-backports" osslsigncode
  if dpkg --compare-versions "$(installed_version osslsigncode)" lt "$osslsigncode_least"; then
    echo "install-deps: osslsigncode $(installed_version osslsigncode) is older than $osslsigncode_least" >&2
    exit 1
  fi
fi

# Locales that tests run Wine under (code pages 932 and 1251); generated once.
have_locales="$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8$/utf8/')"
generate=()
for name in "${locales_needed[@]}"; do
  short="$(tr '[:upper:]' '[:lower:]' <<<"$name" | sed 's/utf-8$/utf8/')"
  grep -qx "$short" <<<"$have_locales" || generate+=("$name")
done
if [ ${#generate[@]} -gt 0 ]; then
  echo "Generating locales: ${generate[*]}"
  for name in "${generate[@]}"; do
    grep -qx "$name UTF-8" /etc/locale.gen 2>/dev/null ||
      echo "$name UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  done
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
