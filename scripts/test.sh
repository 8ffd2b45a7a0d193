#!/usr/bin/env bash
# The one test command: sets up the machine, builds both trees and runs every
# test (host tests and the Windows tests under Wine) in one CTest session, on
# an Xvfb display of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/env.sh"
. "$root/scripts/xvfb.sh"
xvfb_start 91 140
cd "$root/build/host"
ctest --output-on-failure "$@"
