#!/usr/bin/env bash
# Fuzzes the project-file reader with libFuzzer for a bounded time.
#   scripts/fuzz.sh [SECONDS]   (default 300)
# Installs clang when it is missing, builds the fuzzer with clang under
# AddressSanitizer/UBSan in build/fuzz and runs it on the corpus in
# build/fuzz/corpus, seeded from fuzz/corpus. A crash or a broken property
# stops the run and leaves the input as build/fuzz/crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
. "$root/scripts/packages.sh"
install_missing fuzz clang libclang-rt-dev cmake make googletest
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON >/dev/null
cmake --build "$build" --target project_file_fuzz -j "$(nproc)"
mkdir -p "$build/corpus"
cd "$build"
exec ./fuzz/project_file_fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len=100000 \
     -dict="$root/fuzz/vmo.dict" -print_final_stats=1 corpus "$root/fuzz/corpus"
