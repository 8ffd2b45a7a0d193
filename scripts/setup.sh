#!/usr/bin/env bash
# Prepares this Debian machine for building and running QV Velmora:
# installs the missing packages, generates the Italian locale and creates the
# Wine prefix inside the build folder. Quick when everything is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"

packages=(cmake make g++ googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 fonts-wine xvfb xauth imagemagick locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  echo "setup: generating the it_IT.UTF-8 locale"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo sed -i 's/^# *\(it_IT.UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  # No crash dialog: a crashing test program ends at once with its exit code.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # A virtual desktop the test drivers can put the program on (real frames, fast closing).
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v velmora_acc /t REG_SZ /d 1600x900 /f >/dev/null 2>&1
  wineserver -w
fi

# Wine's own fonts (Tahoma, Marlett for the caption buttons, ...) are not
# registered by Debian's packages; copied into the prefix they are found.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/*.ttf "$fonts/"
fi
