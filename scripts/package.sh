#!/usr/bin/env bash
# Makes the Windows packages of QV Velmora in build/package: a Release build
# of the program, then with CPack an installer (NSIS) and a zip, both named
# with the version (QVVelmora-<version>-win64.exe and .zip).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" windows installer
ls -l "$root/build/package"
