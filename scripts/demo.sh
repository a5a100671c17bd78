#!/usr/bin/env bash
# The main job: builds the plug-in and plays the editor with it under Wine,
# with the client stand-in installed as sqlplus.exe, showing the user each
# step of one run. Its prefix is 32-bit Windows, the one it always showed;
# the test command covers 64-bit Windows (WoW64) too.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

. scripts/wine-env.sh
tamsil_build_and_start_wine "$root/build/wineprefix-demo"

demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/scripts"
cp build/win/bin/Tamsil.dll build/win/bin/editor_host.exe "$demo/"
cp build/win/bin/sqlplus_standin.exe "$demo/sqlplus.exe"
cd "$demo"

printf '%s\r\n' "-- Orders of the last week" \
                "select order_id, customer, total" \
                "  from orders" \
                " where placed > sysdate - 7;" > sample.sql
# Scripts go to a folder of the demo's own (relative to the editor's current
# folder), and are deleted after the run.
printf '%s\r\n' "[Settings]" "DeleteTemp=1" "[Path]" "WorkingDirectory=scripts" > Tamsil.ini

# The client stand-in logs what it received, and adds a line to the script
# as a client may (with SPOOL or SAVE, say).
export TAMSIL_CLIENT_LOG=client.log
export TAMSIL_CLIENT_ACTION=append
export TAMSIL_CLIENT_TEXT=$'-- 3 rows selected\r\n'

# Prints the bytes of the first record named $1 in the client's log: each
# record is a line "<name> <length>", then that many bytes and a line feed.
# A name may hold a blank ("variable PATH"): the length is the last word.
client_record() {
  local header name length
  exec 3<client.log
  while IFS= read -r header <&3; do
    name=${header% *}
    length=${header##* }
    if [ "$name" = "$1" ]; then
      head -c "$length" <&3 | tr -d '\r'
      echo
      break
    fi
    head -c "$((length + 1))" <&3 >/dev/null
  done
  exec 3<&-
}

# Writes Tamsil.ini (DeleteTemp=1, the given lines of [Settings], scripts in
# scripts/) and runs the sample once, quietly, logged on with the password $1.
quiet_run() {
  local password=$1
  shift
  printf '%s\r\n' "[Settings]" "DeleteTemp=1" "$@" "[Path]" "WorkingDirectory=scripts" > Tamsil.ini
  rm -f client.log
  wine editor_host.exe Tamsil.dll --user APPUSER --password "$password" --database ORCL \
       --text-file sample.sql --call --out-text after.sql >/dev/null
}

echo "== A fresh folder: the plug-in, the editor stand-in, the client stand-in as sqlplus.exe,"
echo "   a sample SQL text and the plug-in's settings"
ls
echo
echo "== The editor's text (sample.sql)"
tr -d '\r' < sample.sql
echo
echo "== The plug-in's settings (Tamsil.ini)"
tr -d '\r' < Tamsil.ini
echo
echo "== The editor installs the plug-in and picks its command, logged on as APPUSER@ORCL"
wine editor_host.exe Tamsil.dll --user APPUSER --password tiger --database ORCL \
     --text-file sample.sql --call --out-text after.sql | tr -d '\r'
echo
echo "== The command line the client received (in brackets: it ends with the blank before the options)"
printf '[%s]\n' "$(client_record command-line)"
echo
echo "== The script it ran"
client_record script
echo "== The editor's text after the hand-back"
tr -d '\r' < after.sql
echo
echo "== The script file is gone (DeleteTemp=1): scripts/ holds $(ls scripts | wc -l) files"
echo
echo "== The same run with HidePassword=1: the password goes to the client in a log-on"
echo "   script in the temporary folder, not on its command line"
temporary=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
quiet_run tiger HidePassword=1
tr -d '\r' < Tamsil.ini
echo "-- the command line the client received:"
printf '[%s]\n' "$(client_record command-line)"
echo "-- the log-on script it ran:"
client_record logon-script
echo "-- left behind: scripts/ holds $(ls scripts | wc -l) files, the temporary folder" \
     "$(find "$temporary" -maxdepth 1 -name 'lg*.tmp' | wc -l) log-on scripts"
echo
echo "== A password holding \"@\" (Spring@2026) goes in double quotes, escaped on the command"
echo "   line so that the client gets the log-on APPUSER/\"Spring@2026\"@ORCL"
quiet_run 'Spring@2026'
echo "-- the command line the client received:"
printf '[%s]\n' "$(client_record command-line)"
echo "-- the log-on it read: user [$(client_record user)], password [$(client_record password)]," \
     "connect identifier [$(client_record connect-identifier)]"
echo
echo "== The same run with NlsLang=auto, from an editor whose NLS_LANG names UTF-8: the client"
echo "   reads the script in the character set of the system code page, in which it is written"
NLS_LANG=GERMAN_GERMANY.AL32UTF8 quiet_run tiger NlsLang=auto
tr -d '\r' < Tamsil.ini
echo "-- the editor's NLS_LANG:             GERMAN_GERMANY.AL32UTF8"
echo "-- the NLS_LANG the client received:  $(client_record nls-lang)"
echo
echo "== The same run with [Environment]: the client gets a TNS_ADMIN of its own and its folder"
echo "   first on PATH, while the editor's own variables stay as they were"
printf '%s\r\n' "[Settings]" "DeleteTemp=1" "[Path]" "WorkingDirectory=scripts" "[Environment]" \
                'TNS_ADMIN=C:\oracle\network\admin' 'PATH=C:\oracle\client19\bin;%PATH%' > Tamsil.ini
tr -d '\r' < Tamsil.ini
rm -f client.log
# The editor has no TNS_ADMIN of its own, so the run must remove the
# client's again; the editor stand-in prints its values before and after.
unset TNS_ADMIN
echo "-- the editor's variables before and after its command:"
TAMSIL_CLIENT_VARIABLES='TNS_ADMIN;PATH' \
  wine editor_host.exe Tamsil.dll --user APPUSER --password tiger --database ORCL \
       --text-file sample.sql --print-variable TNS_ADMIN --print-variable PATH --call \
       --print-variable TNS_ADMIN --print-variable PATH | tr -d '\r' | grep -E '^host: (variable|OnCall)'
echo "-- what the client received:"
echo "TNS_ADMIN=$(client_record 'variable TNS_ADMIN')"
echo "PATH=$(client_record 'variable PATH')"
echo
echo "== A client that ends with exit code 3, with ShowExitCode=1: the editor has its text back"
echo "   before the box shows (the editor stand-in, given --print-message-boxes, prints each box)"
printf '%s\r\n' "[Settings]" "DeleteTemp=1" "ShowExitCode=1" "[Path]" "WorkingDirectory=scripts" > Tamsil.ini
tr -d '\r' < Tamsil.ini
TAMSIL_CLIENT_EXIT=3 \
  wine editor_host.exe Tamsil.dll --user APPUSER --password tiger --database ORCL \
       --text-file sample.sql --print-message-boxes --call | tr -d '\r' | grep -v '^client: '
echo
echo "== An editor too old for the plug-in is refused, with its message"
wine editor_host.exe Tamsil.dll --version 1.50.3 --print-message-boxes | tr -d '\r' || true
