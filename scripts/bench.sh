#!/usr/bin/env bash
# Builds the benchmarks in Release, without sanitizers, in build/bench and runs
# them. Arguments go to the benchmark program (e.g. --benchmark_filter=Load).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libbenchmark-dev cmake g++ googletest >/dev/null
fi
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=OFF >/dev/null
cmake --build "$root/build/bench" --target model_bench -j "$(nproc)"
exec "$root/build/bench/bench/model_bench" "$@"
