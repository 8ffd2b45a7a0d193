#!/usr/bin/env bash
# Fuzzes a reader with libFuzzer for a bounded time.
#   scripts/fuzz.sh [SECONDS] [vmo|xml]   (default 300 seconds, the project-file reader)
# "xml" fuzzes the Microsoft Project XML import instead. Installs clang when
# it is missing, builds the fuzzer with clang under AddressSanitizer/UBSan in
# build/fuzz and runs it on the corpus in build/fuzz/corpus (corpus-xml),
# seeded from fuzz/corpus (fuzz/xml-corpus). A crash or a broken property
# stops the run and leaves the input as build/fuzz/crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
which=${2:-vmo}
. "$root/scripts/packages.sh"
install_missing fuzz clang libclang-rt-dev cmake make googletest libxml2-dev
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON >/dev/null
case "$which" in
  vmo) target=project_file_fuzz; corpus=corpus; seeds="$root/fuzz/corpus"; dict="$root/fuzz/vmo.dict"; len=100000 ;;
  xml) target=project_xml_fuzz; corpus=corpus-xml; seeds="$root/fuzz/xml-corpus"; dict="$root/fuzz/xml.dict"; len=200000 ;;
  *) echo "fuzz.sh: vmo or xml, not $which" >&2; exit 2 ;;
esac
cmake --build "$build" --target "$target" -j "$(nproc)"
mkdir -p "$build/$corpus"
cd "$build"
exec "./fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -max_len="$len" \
     -dict="$dict" -print_final_stats=1 "$corpus" "$seeds"
