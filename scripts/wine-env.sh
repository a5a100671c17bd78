# Sourced by the scripts: a Wine prefix of the build's own, made ready before
# any Windows program of ours runs in it.
#   tamsil_wine_prefix <folder> [win32|win64]   sets WINEPREFIX and WINEARCH
#       (win32 unless given) and creates the prefix once; win64 is 64-bit
#       Windows, where our 32-bit programs run under WoW64
#   tamsil_wine_start / tamsil_wine_stop   a persistent wineserver for a run

export WINEDEBUG=-all
export WINEARCH=win32

tamsil_wine_prefix() {
  export WINEPREFIX=$1
  export WINEARCH=${2:-win32}
  # A prefix's architecture is fixed when it is made: one made for the other
  # is made again.
  if [ ! -f "$WINEPREFIX/.tamsil-ready" ] || [ "$(cat "$WINEPREFIX/.tamsil-ready")" != "$WINEARCH" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Without these overrides wineboot may stop at an install prompt.
    WINEDLLOVERRIDES="mscoree=d;mshtml=d" wineboot -i >/dev/null 2>&1
    # A crashing program must fail, not wait on a crash dialog; and with no
    # window manager under Xvfb, unmanaged windows close at once.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    # A 64-bit prefix runs our 32-bit programs under WoW64 only with Wine's
    # 64-bit loader (Debian's wine64) and the 32-bit system in syswow64;
    # without them it would test nothing of 64-bit Windows.
    if [ "$WINEARCH" = win64 ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
      echo "wine-env: $WINEPREFIX is no 64-bit Windows with WoW64 (is wine64 installed?)" >&2
      return 1
    fi
    echo "$WINEARCH" > "$WINEPREFIX/.tamsil-ready"
  fi
}

tamsil_wine_start() {
  # Fails only when a server already runs for this prefix, which will do.
  wineserver -p 2>/dev/null || true
}

tamsil_wine_stop() {
  wineserver -k 2>/dev/null || true
}

# Set-up, build, and a persistent wineserver in the given prefix (32-bit
# Windows) until the calling script exits. For the scripts that run our
# programs by hand (demo, benchmark), each in a prefix of its own so it never
# stops a test run's server.
tamsil_build_and_start_wine() {
  ./scripts/setup.sh
  ./scripts/build.sh >/dev/null
  tamsil_wine_prefix "$1"
  tamsil_wine_start
  trap tamsil_wine_stop EXIT
}
