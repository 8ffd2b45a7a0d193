#!/usr/bin/env bash
# Builds and runs the benchmarks; figures are printed, nothing is asserted.
#   scripts/bench.sh                 all of them, one after the other
#   scripts/bench.sh NAME [ARGS...]  one of them with its own arguments:
#     model    load and save of the project file, the cost report (host,
#              Google Benchmark; e.g. --benchmark_filter=Load)
#     file     the largest project file: save, load time and peak memory (host)
#     ruler    painting the chart ruler (under Wine)
#     days     the days dialog with a long list (under Wine; ARGS: count)
#     drag     a bar dragged in a project of 100,000 tasks (under Wine; ARGS: tasks)
#     program  the program worked from outside (under Wine; ARGS: largest
#              project, program to measure)
# The model benchmark is built in Release without sanitizers in build/bench;
# the others come from the Windows tree (build/windows/bench) and run on an
# Xvfb display of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
[ $# -gt 0 ] && shift
case "$which" in
  all|model|file|ruler|days|drag|program) ;;
  *) echo "bench: unknown benchmark '$which' (model, file, ruler, days, drag or program)" >&2; exit 2 ;;
esac

run_model() {
  if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libbenchmark-dev cmake g++ googletest >/dev/null
  fi
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=OFF >/dev/null
  cmake --build "$root/build/bench" --target model_bench -j "$(nproc)"
  "$root/build/bench/bench/model_bench" "$@"
}

run_file() {
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=OFF >/dev/null
  cmake --build "$root/build/bench" --target file_bench -j "$(nproc)"
  echo "== file_bench"
  "$root/build/bench/bench/file_bench"
}

windows_ready=""
run_windows() {  # target, arguments...
  local target=$1; shift
  if [ -z "$windows_ready" ]; then
    "$root/scripts/setup.sh"
    . "$root/scripts/env.sh"
    . "$root/scripts/xvfb.sh"
    xvfb_start 141 150
    windows_ready=1
  fi
  "$root/scripts/build.sh" windows "$target"
  echo "== $target"
  wine "$root/build/windows/bench/$target.exe" "$@"
}

case "$which" in
  model) run_model "$@" ;;
  file) run_file ;;
  ruler) run_windows ruler_bench "$@" ;;
  days) run_windows days_bench "$@" ;;
  drag) run_windows drag_bench "$@" ;;
  program) run_windows app_bench "$@" ;;
  all)
    run_model
    run_file
    run_windows ruler_bench
    run_windows days_bench
    run_windows drag_bench
    run_windows app_bench
    ;;
esac
