#!/usr/bin/env bash
# Checks the built plug-in: exactly the four exports by their plain names, and
# imports from Windows system DLLs only (no MinGW runtime DLL).
set -u
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll") || exit 1
status=0

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "DllMain OnCall OnInstall OnSettings " ]; then
  echo "exports are: $exports"
  status=1
fi

allowed='^(KERNEL32|USER32|msvcrt|ADVAPI32|GDI32|COMCTL32)\.dll$'
for name in $(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: //p'); do
  if ! printf '%s\n' "$name" | grep -qiE "$allowed"; then
    echo "imports a DLL that is not a Windows system DLL: $name"
    status=1
  fi
done
exit $status
