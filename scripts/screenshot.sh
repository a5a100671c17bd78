#!/usr/bin/env bash
# Opens the plug-in's settings dialog in the editor stand-in under Xvfb, with
# a settings file of sample values, and saves a picture of the dialog to
# docs/settings-dialog.png (or to the path given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${1:-$root/docs/settings-dialog.png}
case $out in /*) ;; *) out=$root/$out ;; esac

./scripts/setup.sh
./scripts/build.sh >/dev/null
. scripts/wine-env.sh
# A prefix of its own, so stopping its wineserver disturbs no test run.
tamsil_wine_prefix "$root/build/win/wineprefix-screenshot"
# Wine's own fonts (MS Sans Serif, the caption buttons' symbols) are looked
# for in the prefix's Fonts folder; without them the dialog is drawn with a
# wider substitute and its labels wrap.
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
tamsil_wine_start
trap tamsil_wine_stop EXIT

shot=$root/build/screenshot
rm -rf "$shot"
mkdir -p "$shot" "$(dirname "$out")"
cp build/win/bin/Tamsil.dll build/win/bin/editor_host.exe "$shot/"
printf '%s\r\n' '[Settings]' 'ReadOnly=0' 'DeleteTemp=1' 'Options=EMEA 2026' \
    'ConnectString=SALES' '[Path]' 'WorkingDirectory=C:\Scripts' \
    'SqlPlus=C:\Client\bin\sqlplus.exe' >"$shot/Tamsil.ini"

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -euo pipefail
  cd "$1"
  wine editor_host.exe Tamsil.dll --settings >host.log 2>&1 &
  host=$!
  # Wait for the dialog window to be mapped on the display.
  geometry=
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree 2>/dev/null | sed -n "s/^ *\(0x[0-9a-f]*\) \"Tamsil plug-in Settings\".*/\1/p" | head -n 1)
    if [ -n "$id" ] && xwininfo -id "$id" | grep -q "Map State: IsViewable"; then
      info=$(xwininfo -id "$id")
      x=$(sed -n "s/.*Absolute upper-left X: *//p" <<<"$info")
      y=$(sed -n "s/.*Absolute upper-left Y: *//p" <<<"$info")
      w=$(sed -n "s/.*Width: *//p" <<<"$info")
      h=$(sed -n "s/.*Height: *//p" <<<"$info")
      geometry=${w}x${h}+${x}+${y}
      break
    fi
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    echo "screenshot: the settings dialog did not appear" >&2
    cat host.log >&2
    kill "$host" 2>/dev/null || true
    exit 1
  fi
  # Mapped is not yet painted: give the dialog a moment to draw itself.
  sleep 1
  import -window root -crop "$geometry" +repage "$2"
  kill "$host" 2>/dev/null || true
  wait "$host" 2>/dev/null || true
' _ "$shot" "$out"
echo "screenshot: $out"
