#!/usr/bin/env bash
# qmz's start as users meet it, on a private X server (scripts/with-xvfb.sh): an unknown option is
# status 2; every display that Qt cannot open (none set, too) ends the start with what Qt says of
# it and then qmz's one line, status 1; help and version that cannot be written are status 2; and
# with its standard streams closed, qmz still shows its window.
# Usage: qmz_start_test.sh QMZ
set -uo pipefail
qmz=$1 failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# run [VARIABLE=VALUE...] COMMAND...: sets status and said, the command's (qmz's) exit status and
# standard error, run with only the given variables of those that choose a display.
run() {
    status=0
    said=$(timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" 2>&1 >/dev/null) ||
        status=$?
}
# says STATUS MESSAGE [VARIABLE=VALUE...] COMMAND...: the status, and all that the command says.
says() { local want="$1 $2"; shift 2; run "$@"; [ "$status $said" = "$want" ] || fail "$*: status $status, said: $said"; }
# no_window [VARIABLE=VALUE...] COMMAND...: status 1, and qmz's one line after at least one of Qt's.
no_window() {
    run "$@"
    [ "$status $(grep -n '^qmz:' <<<"$said")" = "1 $(wc -l <<<"$said"):qmz: no display could be opened: no window can be shown" ] &&
        [ "$(wc -l <<<"$said")" -ge 2 ] || fail "$*: status $status, said: $said"
}
says 2 "qmz: Unknown option 'bogus'."$'\n'"Try 'qmz --help' for more information." "$qmz" --bogus
no_window DISPLAY=:150 "$qmz"
no_window DISPLAY="$DISPLAY.5" "$qmz"
no_window WAYLAND_SOCKET=7 "$qmz" --display=
no_window "$qmz" -platform=offscreen
no_window DISPLAY=:150 QT_QPA_PLATFORM=';XCB' "$qmz"
no_window QT_QPA_PLATFORM=' xcb' "$qmz"
no_window QT_QPA_PLATFORM=wayland WAYLAND_SOCKET=7 "$qmz"
says 2 "qmz: cannot write the output: No space left on device" sh -c '"$0" --help >/dev/full' "$qmz"
says 2 "qmz: cannot write the output: Bad file descriptor" sh -c '"$0" --version >&-' "$qmz"
# Closed standard output and error: Qt's warning of an unknown style goes nowhere, and the window opens.
"$qmz" -style nonesuch 1>&- 2>&- &
timeout 30 xdotool search --sync --name '^QMZ$' >/dev/null || fail "no window with the standard streams closed"
kill $!

[ "$failures" -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
echo "passed"
