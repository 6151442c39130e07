#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, on a private virtual X server, and returns
# its exit status. The prefix is made at the first use; every Wine process of the prefix is ended
# before this script returns, so that nothing outlives a test.
# Usage: scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
#        scripts/wine-run.sh PREFIX --host COMMAND [ARGUMENT...]
# The second form runs a host command (a test that starts Wine programs itself) in the same setting.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$(realpath -m "$1")
shift
if [ -z "${QMZ_WINE_ON_XVFB:-}" ]; then
    QMZ_WINE_ON_XVFB=1 exec "$here/with-xvfb.sh" "$0" "$WINEPREFIX" "$@"
fi
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: they would open dialogs on first use, and nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# One Wine session per prefix at a time: the final "wineserver -k" would end a neighbour's programs.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9

# The marker names the settings below: a prefix made with other settings is made again.
ready=$WINEPREFIX/.qmz-ready-unmanaged
if [ ! -e "$ready" ]; then
    rm -rf "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1 9>&-
    # Wine draws the window frames itself: with no window manager on the virtual X server, Wine
    # would wait two seconds for one at every window that closes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    echo 96 >"$WINEPREFIX/.qmz-dpi"  # Wine's own density
    touch "$ready"
fi
# The screen's dots per inch, 96 unless QMZ_WINE_DPI says: set again where the last run set another.
dpi=${QMZ_WINE_DPI:-96}
if [ "$(cat "$WINEPREFIX/.qmz-dpi" 2>/dev/null)" != "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    echo "$dpi" >"$WINEPREFIX/.qmz-dpi"
fi

status=0
if [ "$1" = --host ]; then
    shift
    "$@" 9>&- || status=$?
else
    wine "$@" 9>&- || status=$?
fi
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
exit "$status"
