#!/usr/bin/env bash
# Builds the host tree (tests under AddressSanitizer/UBSan, benchmarks) and the
# Windows tree (the program and its tests) with MinGW-w64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
what=${1:-all}      # all, host or windows
target=${2:-}       # with "windows": only this target (the program: QVVelmora)
# A compiler cache, when the machine has one, shared by every checkout under
# the same parent folder.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")} CCACHE_NOHASHDIR=true
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ "$what" = all ] || [ "$what" = windows ]; then
  cmake -S "$root" -B "$root/build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
  cmake --build "$root/build/windows" -j "$jobs" ${target:+--target "$target"}
fi
if [ "$what" = all ] || [ "$what" = host ]; then
  cmake -S "$root" -B "$root/build/host" -DVELMORA_WINDOWS_BUILD="$root/build/windows" "${launcher[@]}" >/dev/null
  cmake --build "$root/build/host" -j "$jobs"
fi
