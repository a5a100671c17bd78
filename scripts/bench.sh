#!/usr/bin/env bash
# The run benchmark: builds the plug-in and the benchmark, then times the
# plug-in's run against the bare process round trip of the same client line
# under Wine, in a Wine prefix of its own so no test run shares its server.
#   ./scripts/bench.sh [rounds per size, default 40]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/setup.sh
./scripts/build.sh >/dev/null
. scripts/wine-env.sh
tamsil_wine_prefix "$root/build/win/wineprefix-bench"
tamsil_wine_start
trap tamsil_wine_stop EXIT
wine build/win/bin/run_bench.exe "${1:-40}"
