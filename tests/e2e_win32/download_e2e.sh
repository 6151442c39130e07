#!/usr/bin/env bash
# End to end on Wine: starts qmz.exe, pastes a page link with a line break, presses Download with the keyboard and
# clicks the banner with the mouse, all as X input; Wine's shell hands each link to the host's
# xdg-open, here a recording stand-in. Then closes the window with Alt+F4.
# Runs under scripts/wine-run.sh --host (Wine prefix and virtual X server set up).
# Usage: download_e2e.sh QMZ_EXE STAND_IN_FOLDER PAGE_LINK MEDIA_LINK SITE_HOME_LINK
set -euo pipefail
exe=$(realpath "$1")
stand_in=$2
page_link=$3
media_link=$4
site_home_link=$5

work=$(mktemp -d)
qmz=
cleanup() {
    if [ -n "$qmz" ]; then kill "$qmz" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/records"
export QMZ_TEST_RECORDS=$work/records PATH="$stand_in:$PATH"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Waits for the handler's start number $1 and prints its record.
wait_for_start() {
    for _ in $(seq 300); do
        mapfile -t started < <(find "$QMZ_TEST_RECORDS" -name '*.started' | sort)
        if [ "${#started[@]}" -ge "$1" ]; then
            cat "${started[$(($1 - 1))]}"
            return 0
        fi
        sleep 0.1
    done
    fail "handler start $1 never came"
}

# The record: argument count, working folder, inherited-descriptor flag, NUL-terminated arguments.
expect_start() {
    local record
    record=$(wait_for_start "$1" | tr '\0' '\n')
    local expected
    expected=$(printf '1\n%s\nno\n%s' "$(dirname "$exe")" "$2")
    [ "$record" = "$expected" ] || fail "handler start $1 was"$'\n'"$record"$'\n'"expected"$'\n'"$expected"
}

# Started from another folder: the handler's working folder must be the program's, not this one.
cd "$work"
wine "$exe" &
qmz=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
[ -n "$window" ] || fail "no window titled QMZ"
sleep 0.5

# The focus starts in the text box. The link is pasted from the X clipboard with Ctrl+V, with more
# lines behind it: the box keeps the first line. Wine hands the text on with each LF made CRLF; a
# lone CR stays, which Wine's own box would keep in the text. Tab leads to Download, Space presses it.
printf '%s\rmore text\n' "$page_link" | xclip -selection clipboard >/dev/null 2>&1
xdotool key ctrl+v Tab space
expect_start 1 "$media_link"

# The banner "VBOX" sits at the client area's top left; Wine draws the frame around it.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 233) / 2))
caption=$((HEIGHT - 87 - border))
xdotool mousemove --window "$window" $((border + 30)) $((caption + 20)) click 1
expect_start 2 "$site_home_link"
[ "$(find "$QMZ_TEST_RECORDS" -name '*.started' | wc -l)" -eq 2 ] || fail "more handlers started than clicks made"

xdotool key alt+F4
for _ in $(seq 100); do
    kill -0 "$qmz" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$qmz" 2>/dev/null && fail "qmz.exe still runs after Alt+F4"
wait "$qmz" || fail "qmz.exe ended with status $?"
qmz=
echo "passed"
