#!/usr/bin/env bash
# Builds a release from a clean build folder: dist/Tamsil-<version>-win32.zip
# holding Tamsil.dll, README.md and Tamsil.ini.example, and dist/SHA256SUMS
# with the SHA-256 of the zip and of the DLL. One commit gives the same bytes
# on every run: the DLL carries no time or folder of its build, and every
# entry of the zip has the commit's time, a fixed place and fixed permissions.
#   ./scripts/release.sh [output folder, default dist] [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${1:-dist}
build=${2:-build/release}
case $out in /*) ;; *) out=$root/$out ;; esac
case $build in /*) ;; *) build=$root/$build ;; esac

./scripts/setup.sh

if ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
  echo "release: needs the git history, for the commit's time" >&2
  exit 1
fi
# CPack gives every entry this time; the zip's DOS times are local times.
export SOURCE_DATE_EPOCH TZ=UTC
if ! git diff --quiet HEAD --; then
  echo "release: the work tree has uncommitted changes: this zip is not the commit's" >&2
fi

rm -rf "$build"
# Packaging installs the plug-in alone, so it need not build the tests first.
cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1.zip/p' "$build/CPackConfig.cmake")

# The README names the zip for its download and check commands.
named=$(grep -o 'Tamsil-[0-9.]*-win32\.zip' README.md | sort -u | tr '\n' ' ')
if [ "$named" != "$name " ]; then
  echo "release: README.md names ${named:-no zip}but this release is $name" >&2
  exit 1
fi

cmake --build "$build" -j "$(nproc)" --target Tamsil >/dev/null
if ! (cd "$build" && cpack -B "$build/package" >cpack.log 2>&1); then
  cat "$build/cpack.log" >&2
  exit 1
fi

mkdir -p "$out"
rm -f "$out"/Tamsil-*-win32.zip "$out/SHA256SUMS"
cp "$build/package/$name" "$out/"
# Names without a folder, as `sha256sum -c SHA256SUMS` next to the
# downloaded zip (and the DLL unpacked beside it) expects them.
{
  (cd "$out" && sha256sum "$name")
  printf '%s  Tamsil.dll\n' "$(sha256sum <"$build/bin/Tamsil.dll" | cut -d' ' -f1)"
} >"$out/SHA256SUMS"

echo "release: $out/$name ($(stat -c %s "$out/$name") bytes), from commit $(git rev-parse --short HEAD)"
cat "$out/SHA256SUMS"
