#!/usr/bin/env bash
# Checks the release against the plug-in the tests ran: the release command,
# building the plug-in alone in a clean folder elsewhere, gives the same
# Tamsil.dll byte for byte; its zip holds exactly README.md, Tamsil.dll,
# Tamsil.ini.example and what the README links, the DLL being the one that
# release built, and each link of its pages resolves inside it; and a
# second builder, another numeric user, gets the same release byte for byte.
#   tests/check_release.sh <the tested Tamsil.dll>
set -euo pipefail
tested=$(realpath "$1")
cd "$(dirname "$0")/.."
start=$SECONDS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The second builder: another numeric user in a user namespace (its files stay
# this user's own), or this user where there is none; another umask and folder.
other=$(($(id -u) + 1))
as_other=(unshare --map-user="$other" --map-group="$other")
"${as_other[@]}" true 2>/dev/null || { as_other=(); other="$(id -u) (no user namespaces here)"; }
# Its note on uncommitted changes is no fault here; its errors are.
if ! ./scripts/release.sh "$work/dist" "$work/build" >/dev/null 2>"$work/release.log" ||
   ! (umask 027 && "${as_other[@]}" ./scripts/release.sh "$work/second/dist" "$work/second/build") >/dev/null 2>>"$work/release.log"; then
  cat "$work/release.log"
  exit 1
fi
status=0

# Compares two files; on a difference names the first differing offset.
same_bytes() { # <what> <expected> <actual>
  local said byte=
  if said=$(cmp "$2" "$3" 2>&1); then
    return 0
  fi
  # cmp counts bytes from 1, and says "EOF on <file> after byte N" when one
  # file is the other's beginning.
  case $said in
    *" differ: byte "*) byte=${said##* differ: byte }; byte=$((${byte%%,*} - 1)) ;;
    *"EOF on "*" after byte "*) byte=${said##* after byte }; byte=${byte%%,*} ;;
  esac
  printf '%s: first difference at offset %s (0x%x); %s\n' "$1" "${byte:-?}" "${byte:-0}" "$said"
  status=1
}

same_bytes "Tamsil.dll of a second clean build differs from the tested one" \
           "$tested" "$work/build/bin/Tamsil.dll"

zip=$(echo "$work"/dist/Tamsil-*-win32.zip)
entries=$(cmake -E tar tf "$zip" | tr '\n' ' ')
if [ "$entries" != "README.md Tamsil.dll Tamsil.ini.example docs/ docs/reference.md docs/settings-dialog.png " ]; then
  echo "the release zip holds: $entries"
  status=1
fi
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
# The unpacked README reads whole: every link of the zipped pages to a file
# of their own (not a web address or an anchor) names one the zip holds, at
# that path from the page.
for page in README.md docs/reference.md; do
  for target in $(grep -o '](\([^)#]*\))' "$work/unpacked/$page" | sed 's/^](\(.*\))$/\1/' | grep -v '^[a-z]*:' || true); do
    if [ ! -f "$work/unpacked/$(dirname "$page")/$target" ]; then
      echo "$page in the release zip links $target, which the zip does not hold"
      status=1
    fi
  done
done
same_bytes "Tamsil.dll in the release zip differs from the one the release built" \
           "$work/build/bin/Tamsil.dll" "$work/unpacked/Tamsil.dll"

same_bytes "the release zip of a second builder, user $other, differs" \
           "$zip" "$work/second/dist/${zip##*/}"
diff "$work/dist/SHA256SUMS" "$work/second/dist/SHA256SUMS" || status=1

[ $status -eq 0 ] && echo "release check: DLL reproduced, zip as expected, the same from user $other ($((SECONDS - start)) s)"
exit $status
