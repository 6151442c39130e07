#!/usr/bin/env bash
# qmz's start as users meet it, on a private X server (scripts/with-xvfb.sh): an unknown option is
# status 2; every display that Qt cannot open (none set, too), or that does not answer, is one line
# and status 1; help and version that cannot be written are status 2; and with its standard streams
# closed, qmz still shows its window.
# Usage: qmz_start_test.sh QMZ
set -uo pipefail
qmz=$1 failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# says STATUS MESSAGE [VARIABLE=VALUE...] COMMAND...: what the command (qmz) says on standard error,
# with only the given variables of those that choose a display.
says() {
    local want="$1 $2" status=0 said
    shift 2
    said=$(timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" 2>&1 >/dev/null) ||
        status=$?
    [ "$status $said" = "$want" ] || fail "$*: status $status, said: $said"
}
cannot="qmz: cannot open" no_window=": no window can be shown" no_wayland=" nor a Wayland display (WAYLAND_DISPLAY is not set)"
says 2 "qmz: Unknown option 'bogus'."$'\n'"Try 'qmz --help' for more information." "$qmz" --bogus
says 1 "$cannot the X display \":150\" (DISPLAY)$no_wayland$no_window" DISPLAY=:150 "$qmz"
says 1 "$cannot the X display \"$DISPLAY.5\" (DISPLAY)$no_wayland$no_window" DISPLAY="$DISPLAY.5" "$qmz"
says 1 "$cannot an X display (DISPLAY is not set)$no_wayland$no_window" WAYLAND_SOCKET=7 "$qmz" --display=
says 1 "$cannot an X display (DISPLAY is not set)$no_window" "$qmz" -platform=offscreen
says 1 "$cannot the X display \":150\" (DISPLAY)$no_window" DISPLAY=:150 QT_QPA_PLATFORM=';XCB' "$qmz"
says 1 "$cannot the platform \" xcb\"$no_window" QT_QPA_PLATFORM=' xcb' "$qmz"
says 1 "$cannot the Wayland connection \"7\" (WAYLAND_SOCKET)$no_window" QT_QPA_PLATFORM=wayland WAYLAND_SOCKET=7 "$qmz"
says 2 "qmz: cannot write the output: No space left on device" sh -c '"$0" --help >/dev/full' "$qmz"
says 2 "qmz: cannot write the output: Bad file descriptor" sh -c '"$0" --version >&-' "$qmz"
# An X server that takes the connection but never answers, as a stopped one does.
exec {stopped}< <(exec Xvfb -displayfd 1 -nolisten tcp 2>/dev/null)
stopped_pid=$!
read -r -t 30 number <&"$stopped" && kill -STOP $stopped_pid || fail "the second X server did not start"
says 1 "qmz: no display answered within 30 seconds$no_window" DISPLAY=":$number" "$qmz"
kill -KILL $stopped_pid
# Closed standard output and error: Qt's warning of an unknown style goes nowhere, and the window opens.
"$qmz" -style nonesuch 1>&- 2>&- &
timeout 30 xdotool search --sync --name '^QMZ$' >/dev/null || fail "no window with the standard streams closed"
kill $!

[ "$failures" -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
echo "passed"
