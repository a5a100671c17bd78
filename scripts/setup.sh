#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine.
# Idempotent: packages already present are skipped, and apt is not touched at all
# when everything is there.
set -euo pipefail

packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 xvfb xauth googletest cmake clang
          libclang-rt-14-dev imagemagick x11-utils fonts-wine locales git
          strip-nondeterminism cppcheck)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
