#!/bin/sh
# Runs a Windows program under Wine with the private prefix of a build folder, so neither tests
# nor the program ever touch the user's own prefix. The prefix is made on first use.
# Usage: wine-run.sh BUILD_DIR PROGRAM.exe [ARGUMENTS...]
set -eu
. "$(dirname "$0")/fixed-addresses.sh"
build=$(cd "$1" && pwd)
shift

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine maps file names through the Unix locale: under C, non-Latin names cannot be reached.
export LC_ALL=C.UTF-8
# The pdftk bridge's Winelib module sits next to the program in bin/.
export WINEDLLPATH="$build/bin${WINEDLLPATH:+:$WINEDLLPATH}"

if [ ! -f "$WINEPREFIX/.folianto-ready" ]; then
  mkdir -p "$build"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.folianto-ready" ]; then
      rm -rf "$WINEPREFIX"
      DISPLAY= wineboot -i >/dev/null 2>&1
      # Without a window manager every dialog close would wait for one.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      # Arial is asked for by name; the metric-compatible Liberation Sans stands in for it.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f \
        >/dev/null 2>&1
      # Wine does not find Debian's copy of its own fonts (Marlett draws the caption buttons).
      cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      wineserver -w
      touch "$WINEPREFIX/.folianto-ready"
    fi
  ) 9>"$build/wineprefix.lock"
fi

exec wine "$@"
