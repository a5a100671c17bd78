#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the static analyser over the product's sources;
#   2. the pure logic natively, under AddressSanitizer and UBSan;
#   3. the real Tamsil.dll under Wine (and Xvfb for its windows), on 32-bit
#      Windows and again on 64-bit Windows (WoW64);
#   4. the release: the same DLL from a second clean build, and its zip;
#   5. the command-line fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

./scripts/setup.sh

echo "== static analysis of the product's sources"
# The sources alone, never the build: the headers of the project from the
# root, the platform's calls and macros from the analyser's own description
# of them, and of the project's formatter, whose arguments it checks against
# each format, sized as on 32-bit Windows. Any finding fails the run; a false
# one is suppressed where it stands ("// cppcheck-suppress id", and why).
cppcheck -q --enable=warning,portability,performance --error-exitcode=1 --inline-suppr \
  --language=c++ --std=c++17 --library=windows --library=scripts/cppcheck-format-text.cfg \
  --platform=win32A -I . \
  plugin settings run client run_files run_reports platform common

echo "== native build, sanitizers"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native -j "$jobs" --output-on-failure

echo "== Windows build, under Wine"
./scripts/build.sh
# A Japanese locale, from which Wine takes the double-byte code page 932 for
# the tests that need one.
if [ ! -f build/win/locale/ja_JP.UTF-8/LC_CTYPE ]; then
  mkdir -p build/win/locale
  localedef -i ja_JP -f UTF-8 build/win/locale/ja_JP.UTF-8 || [ -f build/win/locale/ja_JP.UTF-8/LC_CTYPE ]
fi
. scripts/wine-env.sh
# Every Windows test runs twice, from the same build: on 32-bit Windows, and
# on 64-bit Windows, where most editors run and the plug-in with them under
# WoW64 (the system folder it is given is the 32-bit one, SysWOW64, and a
# batch file's command interpreter is the 32-bit one). Each has a prefix of
# its own, made once per build, and a wineserver of its own for its run. The
# tests are listed as CTest runs them, in the prefix of that run.
for arch in win32 win64; do
  prefix=$root/build/win/wineprefix
  if [ "$arch" = win64 ]; then prefix=${prefix}64; fi
  echo "== the real DLL under Wine: $arch ($prefix)"
  tamsil_wine_prefix "$prefix" "$arch"
  tamsil_wine_start
  trap tamsil_wine_stop EXIT
  started=$SECONDS
  # Wine's own background processes (services, the desktop window) are
  # started here, on the display, so no test's output pipe is held open by
  # them.
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine cmd /c exit >/dev/null 2>&1
    ctest --test-dir build/win -j "$1" --output-on-failure' _ "$((jobs * 2))"
  echo "== the Wine tests took $((SECONDS - started)) s on $arch"
  tamsil_wine_stop
  trap - EXIT
done

echo "== the release: the plug-in built again alone in a clean folder, and its zip"
tests/check_release.sh build/win/bin/Tamsil.dll

if [ -d tests/fuzz ]; then
  echo "== fuzzing the command line"
  CXX=clang++ CC=clang cmake -S . -B build/fuzz -DTAMSIL_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/fuzz -j "$jobs"
  log=build/fuzz/last-run.log
  if ./build/fuzz/command_line_fuzzer -max_total_time="${TAMSIL_FUZZ_SECONDS:-20}" \
       -print_final_stats=1 >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$log"
  else
    cat "$log"
    exit 1
  fi
fi
echo "== all tests passed"
