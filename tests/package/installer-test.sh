#!/usr/bin/env bash
# Makes the installer afresh and tries it in a new Wine prefix of its own, so
# that nothing installed before (nor the tests' shared prefix) can hide a
# fault. The prefix is removed after a successful run and kept otherwise.
# Arguments: cmake, the Windows build folder, the prefix folder, the test
# program.
set -euo pipefail
cmake=$1 build=$2 prefix=$3 tests=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
"$cmake" --build "$build" --target installer >/dev/null

. "$root/scripts/env.sh"
export WINEPREFIX="$prefix"
rm -rf "$prefix"
"$root/scripts/prefix.sh" >/dev/null
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$root/cmake/wine-run.sh" "$prefix" "$tests"
wineserver -k >/dev/null 2>&1 || true
wineserver -w
rm -rf "$prefix"
