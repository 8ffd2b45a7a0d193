#!/usr/bin/env bash
# Prepares this Debian machine for building and running QV Velmora:
# installs the missing packages, generates the Italian locale, creates the
# Wine prefix inside the build folder and sets up the PDF printer. Quick when
# everything is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
. "$root/scripts/packages.sh"

packages=(cmake make g++ googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 fonts-wine xvfb xauth imagemagick locales nsis
          cups printer-driver-cups-pdf poppler-utils
          libxml2-dev xsltproc planner-data python3 xclip libreoffice-calc-nogui)
install_missing setup "${packages[@]}"

if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  echo "setup: generating the it_IT.UTF-8 locale"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo sed -i 's/^# *\(it_IT.UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

"$root/scripts/prefix.sh"
"$root/scripts/printer.sh"
