#!/usr/bin/env bash
# Builds the host tree (tests under AddressSanitizer/UBSan, benchmarks) and the
# Windows tree (the program and its tests) with MinGW-w64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
what=${1:-all}      # all, host or windows
target=${2:-}       # with "windows": only this target (the program: QVVelmora)
if [ "$what" = all ] || [ "$what" = windows ]; then
  cmake -S "$root" -B "$root/build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/windows" -j "$jobs" ${target:+--target "$target"}
fi
if [ "$what" = all ] || [ "$what" = host ]; then
  cmake -S "$root" -B "$root/build/host" -DVELMORA_WINDOWS_BUILD="$root/build/windows" >/dev/null
  cmake --build "$root/build/host" -j "$jobs"
fi
