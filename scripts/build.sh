#!/usr/bin/env bash
# Builds the plug-in, the stand-ins and the Windows tests into build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake --no-warn-unused-cli -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j "$jobs"
