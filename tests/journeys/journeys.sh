#!/usr/bin/env bash
# A user's journeys through the real window, one table for every face. The face's adapter
# (face_FACE.sh) starts the program, clicks controls, presses keys, pastes, reads the text box and
# closes the window; every place comes from the window's description (CONTROL_PLACES). The
# journeys run one after another in one program, which the last one closes.
# CONTROL_PLACES is the program that prints them (tests/support/control_places.cpp).
# Usage: journeys.sh FACE PROGRAM CONTROL_PLACES STAND_IN_HANDLER PAGE_LINK MEDIA_LINK HOME_LINK
set -euo pipefail
face=$1 program=$(realpath "$2") stand_in=$(realpath "$4")
page_link=$5 media_link=$6 home_link=$7
here=$(dirname "$(realpath "$0")")

# Which journey runs on which face. Wayland gets no clipboard from the X server that carries its
# compositor, so only journeys that type and read no text run there.
journeys=(
    "get_link         x11 wine"
    "download         x11 wine wayland"
    "keyboard         x11 wine wayland"
    "enter_and_escape x11 wine"
    "labels           x11 wine wayland"
    "unusual_texts    x11 wine"
    "first_line       x11 wine"
    "long_paste       x11 wine"
    "busy_handler     x11 wine"
    "no_handler       x11"
    "close            wine wayland"
)

work=$(mktemp -d)
mkdir "$work/bin" "$work/records"
cp "$stand_in" "$work/bin/xdg-open"
places=$work/places
"$3" >"$places"
export PATH="$work/bin:$PATH" QMZ_TEST_RECORDS="$work/records"
journey=start
fail() { echo "FAIL ($face, $journey): $*" >&2; [ -z "${QMZ_FAIL_SHOT:-}" ] || import -window root "$QMZ_FAIL_SHOT"; exit 1; }
# wait_until COMMAND...: true once the command succeeds, tried every $interval seconds (0.05) for up
# to $patience seconds (30).
wait_until() {
    local deadline=$((SECONDS + ${patience:-30}))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep "${interval:-0.05}"
    done
}
# Every xdotool call is bounded: a window or server that stops answering fails the journey, never
# hangs it until the test runner's limit.
xdotool() { timeout 30 xdotool "$@" || { local status=$?; [ "$status" -ne 124 ] || fail "xdotool $1 got no answer"; return "$status"; }; }
place() { awk -v name="$1" '$1 == name { print $2, $3 }' "$places"; }

# shellcheck source=face_x11.sh
source "$here/face_$face.sh"
trap 'face_stop; rm -rf "$work"' EXIT

# The handler starts recorded so far; expect_opened checks that start number N got LINK, in the
# program's folder. Every start is counted, so a stray one fails the run at the end.
starts() { find "$work/records" -name '*.started' | sort; }
expected_starts=0
expect_opened() {
    expected_starts=$((expected_starts + 1))
    wait_until eval '[ "$(starts | wc -l)" -ge "$expected_starts" ]' || fail "no handler started for $1"
    local record
    record=$(starts | sed -n "${expected_starts}p")
    [ "$(tail -n +4 "$record" | tr -d '\0')" = "$1" ] || fail "the handler got $(tail -n +4 "$record" | tr -d '\0')"
    [ "$(sed -n 2p "$record")" = "$program_folder" ] || fail "the handler ran in $(sed -n 2p "$record")"
    # The program, a background job here, ignores SIGINT and SIGQUIT; where the hand-off is QMZ's
    # own, the handler starts with no signal blocked or ignored (but glibc's internal 32 and 33,
    # which posix_spawn leaves), in a session of its own, its streams on /dev/null.
    [ "${face_hands_off:-qmz}" = qmz ] || return 0
    local state ignored
    state=$(cat "${record%started}state")
    ignored=${state#*SigIgn:}
    [ $((0x${ignored%% *} & ~0x180000000)) = 0 ] && [[ $state == "SigBlk:0000000000000000 "* ]] &&
        [[ $state == *" session:own streams:/dev/null /dev/null /dev/null " ]] || fail "the handler started in the state: $state"
}
# A face that cannot read the box (face_reads_box=no) shows what the box holds only through what
# Download hands on; the journeys that depend on reading it do not run there.
expect_box() {
    printf '%s' "$1" >"$work/expected"
    expect_box_file "$work/expected"
}
expect_box_file() {
    [ "${face_reads_box:-yes}" = yes ] || return 0
    face_read_box "$work/box"
    cmp -s "$1" "$work/box" || fail "the box holds $(head -c 80 "$work/box") ($(wc -c <"$work/box") bytes), not $(head -c 80 "$1")"
}
paste() {
    printf '%s' "$1" >"$work/paste"
    face_paste "$work/paste"
}

journey_get_link() {
    paste "$page_link"
    face_click Command2
    expect_box "$media_link"
}
journey_download() {
    paste "$page_link"
    face_click Command1
    expect_opened "$media_link"
    expect_box "$page_link"
}
journey_keyboard() {
    paste "$page_link"
    face_click Text1
    face_key Tab space
    expect_opened "$media_link"
    # Tab goes on round to the box. Under Wine a button pressed by Space holds the mouse until the
    # window has taken the key's release, and a click that comes sooner goes to the button; so the
    # box is reached by key, not by a click.
    face_key Tab space Tab
    focus_in_box=yes expect_box "$media_link"
}
# With the focus in the box, Enter and Esc press no button and close nothing.
journey_enter_and_escape() {
    paste "$page_link"
    face_click Text1
    face_key Return Escape
    expect_box "$page_link"
}
journey_labels() {
    face_click Label3
    face_click Label5
    face_click Label1
    expect_opened "$home_link"
    face_click Label2
    expect_opened "$home_link"
}
# A video ID is any eight characters, which reach the handler as they are, through no shell;
# anything else is no page link, however close.
journey_unusual_texts() {
    local id ids=($'ab\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80CD')
    # Wine's own shell hands a quote and a backquote on in its own way.
    [ "${face_hands_off:-qmz}" != qmz ] || ids+=("'\$(x)\`;\"")
    for id in "${ids[@]}"; do
        paste "${page_link%????????}$id"
        face_click Command1
        expect_opened "${media_link%/*/*}/${id:0:2}/${id}.flv"
    done
    for text in " $page_link" "${page_link}x" "${page_link^^}"; do
        paste "$text"
        face_click Command1
        expect_box "$text"
        face_click Command2
        expect_box ""
    done
}
# A pasted text with line breaks: the one-line box keeps its first line, and nothing else changes.
journey_first_line() {
    for ending in $'\n' $'\r\n' $'\rmore text\n' $'\nmore\nlines'; do
        paste "$page_link$ending"
        expect_box "$page_link"
    done
    face_click Command1
    expect_opened "$media_link"
}
journey_long_paste() {
    { printf '%s' "$page_link"; head -c 750000 /dev/urandom | base64 -w0; } >"$work/long"
    face_paste "$work/long"
    expect_box_file "$work/long"
    face_click Command1
    face_click Command2
    expect_box ""
}
# While a handler still runs, the window answers at once.
journey_busy_handler() {
    echo 60 >"$work/records/sleep"
    paste "$page_link"
    face_click Command1
    expect_opened "$media_link"
    face_click Command2
    expect_box "$media_link"
    local record
    record=$(starts | tail -n 1)
    [ ! -e "${record%started}finished" ] || fail "the handler had already ended"
    rm "$work/records/sleep"
    # The handler's sleep ends now, so that nothing outlives the journeys (its record names its pid).
    record=${record%.started}
    pkill -P "${record##*-}" sleep
}
# With no handler, or one that says the desktop has no browser set up (xdg-open's status 3),
# Download stays silent and the window goes on: reading the box takes a click that a message box
# would block. The banner says so in a box.
journey_no_handler() {
    mv "$work/bin/xdg-open" "$work/xdg-open"
    paste "$page_link"
    face_click Command1
    expect_box "$page_link"
    face_click Label1
    face_message_box
    mv "$work/xdg-open" "$work/bin/xdg-open"
    echo 3 >"$work/records/status"
    face_click Command1
    expect_opened "$media_link"
    local record
    record=$(starts | tail -n 1)
    record=${record%.started}
    wait_until eval '! [ -e "/proc/${record##*-}" ]' || fail "the handler was not reaped"
    expect_box "$page_link"
    face_click Label1
    expect_opened "$home_link"
    face_message_box
    rm "$work/records/status"
}
# A process that has ended but was not waited for yet is a zombie (state Z).
ended() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat")" = Z ]; }
journey_close() {
    face_close
    local status=0
    wait_until ended "$pid" || fail "the program still runs"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    pid=
}

face_start
for row in "${journeys[@]}"; do
    read -r journey faces <<<"$row"
    [[ " $faces " == *" $face "* ]] || continue
    started=$SECONDS
    "journey_$journey"
    echo "ok: $journey ($((SECONDS - started)) s)"
done
journey=end
[ "$(starts | wc -l)" -eq "$expected_starts" ] || fail "$(starts | wc -l) handlers started, $expected_starts expected"
echo "passed: every journey on $face"
