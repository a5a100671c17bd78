#!/usr/bin/env bash
# The run benchmark: builds the plug-in and the benchmark, then times the
# plug-in's run against the bare process round trip of the same client line
# under Wine, in a Wine prefix of its own so no test run shares its server.
# The prefix is 32-bit Windows, the one every figure in the README was
# measured on.
#   ./scripts/bench.sh [rounds per size, default 40] [unrelated files in the
#                      temporary folder, default 0] [old files there named as
#                      log-on scripts but of other shapes, default 0]
#                      [variables in [Environment], default 0]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

. scripts/wine-env.sh
tamsil_build_and_start_wine "$root/build/win/wineprefix-bench"
wine build/win/bin/run_bench.exe "${1:-40}" "" "${2:-0}" "${3:-0}" "${4:-0}"
