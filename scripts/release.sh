#!/usr/bin/env bash
# Builds a release from a clean build folder: dist/Tamsil-<version>-win32.zip
# holding Tamsil.dll, README.md with what it links (the dialog's picture, the
# users' reference) and Tamsil.ini.example; dist/BUILDINFO naming
# the oldest Windows it runs on, the commit and the exact tools that built it;
# and dist/SHA256SUMS with the SHA-256 of the zip, of the DLL and of
# BUILDINFO. One commit gives the same bytes on every run, whoever runs it:
# the DLL carries no time or folder of its build, and every entry of the zip
# has the commit's time, a fixed place, fixed permissions and no user or group.
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
dirty=
if ! git diff --quiet HEAD --; then
  echo "release: the work tree has uncommitted changes: this zip is not the commit's" >&2
  dirty=", with uncommitted changes"
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
# CPack writes into each entry the numeric user and group that ran it, and has
# no setting against that: this clears them, and sets again the commit's time,
# the order of the names and plain permissions.
strip-nondeterminism -t zip -T "$SOURCE_DATE_EPOCH" "$build/package/$name"

# "<Debian package> <version>" that installed a file.
package_of() {
  local file package
  file=$(readlink -f "$1")
  if package=$(dpkg-query -S "$file" 2>/dev/null); then
    dpkg-query -W -f='${Package} ${Version}' "${package%%:*}"
  else
    printf '%s, not from a Debian package' "$file"
  fi
}

mkdir -p "$out"
rm -f "$out"/Tamsil-*-win32.zip "$out/SHA256SUMS" "$out/BUILDINFO"
cp "$build/package/$name" "$out/"
# What the DLL's bytes depend on besides the commit. The linker and the
# MinGW-w64 runtime are the ones the compiler CMake chose picks itself.
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCXXCompiler.cmake)
linker=$("$compiler" -print-prog-name=ld)
runtime=$("$compiler" -print-file-name=libmsvcrt.a)
{
  # The floor the build holds the DLL to (its header says 6.1), and the calls
  # that set it: those tests/check_binary.sh lists as newer than XP.
  echo "Windows: 7 or later (SetFileInformationByHandle, CompareStringOrdinal: Vista; FindFirstFileExW with FindExInfoBasic and FIND_FIRST_EX_LARGE_FETCH: 7)"
  echo "Commit: $(git rev-parse HEAD)$dirty"
  echo "SOURCE_DATE_EPOCH: $SOURCE_DATE_EPOCH"
  echo "Compiler: $(package_of "$compiler") (${compiler##*/})"
  echo "Binutils: $(package_of "$linker")"
  echo "MinGW-w64 runtime: $(package_of "$runtime")"
  echo "CMake: $(package_of "$(command -v cmake)")"
  echo "Debian: $(cat /etc/debian_version) ($(. /etc/os-release && echo "$VERSION_CODENAME"))"
  echo "Zip normalised by: $(package_of "$(command -v strip-nondeterminism)")"
} >"$out/BUILDINFO"
# Names without a folder, as `sha256sum -c SHA256SUMS` next to the
# downloaded zip (and the DLL unpacked beside it) expects them.
{
  (cd "$out" && sha256sum "$name")
  printf '%s  Tamsil.dll\n' "$(sha256sum <"$build/bin/Tamsil.dll" | cut -d' ' -f1)"
  (cd "$out" && sha256sum BUILDINFO)
} >"$out/SHA256SUMS"

echo "release: $out/$name ($(stat -c %s "$out/$name") bytes), from commit $(git rev-parse --short HEAD)"
cat "$out/SHA256SUMS"
