#!/usr/bin/env bash
# Creates the Wine prefix $WINEPREFIX when it is missing (with the settings
# the tests rely on) and gives it Wine's own fonts. Run with the environment
# of scripts/env.sh.
set -euo pipefail
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the Wine prefix $WINEPREFIX"
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
