#!/usr/bin/env bash
# The main job: builds the plug-in and plays the editor with it under Wine,
# showing the user each step.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/setup.sh
./scripts/build.sh >/dev/null
. scripts/wine-env.sh
tamsil_wine_prefix "$root/build/win/wineprefix"
tamsil_wine_start
trap tamsil_wine_stop EXIT

demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp build/win/bin/Tamsil.dll build/win/bin/editor_host.exe "$demo/"
cd "$demo"

echo "== The editor loads Tamsil.dll and installs it"
wine editor_host.exe Tamsil.dll --user APPUSER --database ORCL
echo
echo "== An editor too old for the plug-in is refused (the message box is answered at once without a display)"
wine editor_host.exe Tamsil.dll --version 1.50.3 || true
