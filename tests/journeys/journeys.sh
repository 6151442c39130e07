#!/usr/bin/env bash
# A user's journeys through the real window, one list for every face. The face's adapter
# (face_FACE.sh) starts the program, clicks, types and pastes as a user does; the window is read as
# a screen reader reads it, through READER (screen_reader.py on Qt, qmz_screen_reader.exe under
# Wine). The journeys run one after another in one program, which the last one closes.
# Usage: journeys.sh FACE PROGRAM READER STAND_IN_HANDLER PAGE_LINK MEDIA_LINK HOME_LINK
set -eEuo pipefail
face=$1 program=$(realpath "$2") reader=$(realpath "$3") page_link=$5 media_link=$6 home_link=$7
here=$(dirname "$(realpath "$0")")
journeys=(screen_reader buttons_and_labels unusual_texts pasted_texts busy_handler no_handler close)
# X11 has no window manager to draw a close button; Wine's shell starts a browser launcher of its
# own, which never tells of a handler's failure.
skipped=" x11:close wine:no_handler "

work=$(mktemp -d)
mkdir "$work/bin" "$work/records"
cp "$4" "$work/bin/xdg-open"
places=$work/places
export PATH="$work/bin:$PATH" QMZ_TEST_RECORDS="$work/records"
journey=start step=start
# Every failure, in this shell or a subshell, and every command that fails unexpectedly ends the
# run with one line that says where, and a screenshot.
fail() {
    if mkdir "$work/failed" 2>/dev/null; then
        echo "FAIL ($face, $journey, $step): $* (screenshot: $PWD/journeys_on_$face.png)" >&2
        import -window root "$PWD/journeys_on_$face.png" || true
    fi
    [ "$BASHPID" = $$ ] || kill -USR1 $$
    exit 1
}
trap 'exit 1' USR1
trap 'fail "$BASH_COMMAND failed"' ERR
# wait_until COMMAND...: true once the command succeeds, tried every 0.05 s for $patience s (10).
wait_until() {
    local deadline=$((SECONDS + ${patience:-10}))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}
input() { timeout 10 xdotool "$@" || fail "xdotool $1 gave no answer"; }
click() {
    step="click $1"
    local x y
    read -r x y <<<"$(awk -v name="$1" '{ n = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ [^ ]+ /, "", n) }
                                        n == name { print $1 + int($3 / 2), $2 + int($4 / 2) }' "$places")"
    [ -n "$x" ] || fail "a screen reader knows no control by this name"
    face_click "$x" "$y"
}
keys() { step="keys $*"; face_key "$@"; }
read_window() { timeout 30 "${face_reader[@]}" "$@"; }
# paste TEXT: one paste into the box, once the side that takes it holds the text; the box then
# holds its first line.
paste() {
    step="offer a text"
    printf '%s' "$1" >"$work/offered"
    kill "${clipboard:-}" 2>/dev/null || true
    "${clipboard_owner[@]}" <"$work/offered" >/dev/null 2>&1 &
    clipboard=$!
    face_holds_offer || fail "the clipboard does not give the text offered"
    click "Video page link"
    face_paste
    awk -v RS='[\r\n]' '{ printf "%s", $0; exit }' "$work/offered" >"$work/expected"
    expect_box_file
}
expect_box() { printf '%s' "$1" >"$work/expected"; expect_box_file; }
expect_box_file() {
    step="read the box"
    wait_until eval 'read_window box >"$work/box" && { cmp -s "$work/box" "$work/expected" || shown_folded; }' ||
        fail "the box holds $(head -c 80 "$work/box") ($(wc -c <"$work/box") bytes), not $(head -c 80 "$work/expected")"
}
# The Qt box shows a long text folded, as its beginning, one "…" and its end, and a screen reader
# reads what it shows; the whole text stays in the box.
shown_folded() {
    [ "$face" != wine ] || return 1
    local box expected shown_head shown_tail
    box=$(cat "$work/box") expected=$(cat "$work/expected")
    shown_head=${box%%…*} shown_tail=${box#*…}
    [ "$shown_head" != "$box" ] && [ ${#shown_head} -ge 200 ] && [ ${#shown_tail} -ge 200 ] &&
        [ "${expected:0:${#shown_head}}" = "$shown_head" ] && [ "${expected: -${#shown_tail}}" = "$shown_tail" ]
}
# expect_message PATTERN: waits for a message box over the window that says PATTERN, and answers it.
expect_message() {
    step="read a message box"
    local said
    said=$(read_window message) || fail "no message box could be read and answered"
    # shellcheck disable=SC2053
    [[ $said == $1 ]] || fail "the message box says: $said"
}
press() { step="press $1 through the screen reader"; read_window press "$1" || fail "it cannot be pressed"; }

# The handler starts recorded so far; expect_opened checks that start number N got LINK, in the
# program's folder. Every start is counted, so a stray one fails the run at the end.
starts() { find "$work/records" -name '*.started' | sort; }
expected_starts=0
expect_opened() {
    step="wait for the handler"
    expected_starts=$((expected_starts + 1))
    wait_until eval '[ "$(starts | wc -l)" -ge "$expected_starts" ]' || fail "no handler started for $1"
    local record state ignored
    record=$(starts | sed -n "${expected_starts}p")
    [ "$(tail -n +4 "$record" | tr -d '\0')" = "$1" ] || fail "the handler got $(tail -n +4 "$record" | tr -d '\0')"
    [ "$(sed -n 2p "$record")" = "$program_folder" ] || fail "the handler ran in $(sed -n 2p "$record")"
    # The program, a background job here, ignores SIGINT and SIGQUIT; where the hand-off is QMZ's
    # own, the handler starts with no signal blocked or ignored (but glibc's internal 32 and 33,
    # which posix_spawn leaves), in a session of its own, its streams on /dev/null.
    [ "$face" != wine ] || return 0
    state=$(cat "${record%started}state")
    ignored=${state#*SigIgn:}
    [ $((0x${ignored%% *} & ~0x180000000)) = 0 ] && [[ $state == "SigBlk:0000000000000000 "* ]] &&
        [[ $state == *" session:own streams:/dev/null /dev/null /dev/null " ]] || fail "the handler started in the state: $state"
}

# What a screen reader finds in the window, word for word (accessible_tree_*.txt); then, as a blind
# user's tools do, the text set, the buttons and the banner pressed and the box read (MSAA under
# Wine sets and presses nothing).
journey_screen_reader() {
    step="read the accessible tree"
    read_window tree >"$work/tree" || fail "the screen reader finds no window"
    diff "$here/accessible_tree_$tree.txt" "$work/tree" >&2 || fail "a screen reader finds another window (above: < expected, > found)"
    [ "$face" != wine ] || return 0
    step="set the box's text through the screen reader"
    printf '%s' "$page_link" | read_window set || fail "the box's text cannot be set"
    press Download
    expect_opened "$media_link"
    press "Get Link"
    expect_box "$media_link"
    press VBOX
    expect_opened "$home_link"
    press 7
    expect_opened "$home_link"
}
# Enter and Esc in the box press no button and close nothing; Tab and Space press the buttons; of
# the labels, only the banner's answer a click.
journey_buttons_and_labels() {
    paste "$page_link"
    keys Return Escape Tab space
    expect_opened "$media_link"
    click "Still ownin' ya"
    click "Hi to the crew!"
    click VBOX
    expect_opened "$home_link"
    click 7
    expect_opened "$home_link"
    keys Tab space
    expect_box "$media_link"
    click Download
    click "Get Link"
    expect_box ""
}
# A video ID is any eight characters, which reach the handler as they are, through no shell (Wine's
# own shell hands a quote and a backquote on in its own way).
journey_unusual_texts() {
    local id ids=($'ab\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80CD')
    [ "$face" = wine ] || ids+=("'\$(x)\`;\"")
    for id in "${ids[@]}"; do
        paste "${page_link%????????}$id"
        click Download
        expect_opened "${media_link%/*/*}/${id:0:2}/${id}.flv"
    done
}
# Pasted line breaks: the one-line box keeps the first line. A long paste is kept whole (on Qt,
# shown folded).
journey_pasted_texts() {
    for ending in $'\n' $'\r\n' $'\rmore text\n' $'\nmore\nlines' "$(head -c 750000 /dev/urandom | base64 -w0)"; do
        paste "$page_link$ending"
    done
    click "Get Link"
    expect_box ""
}
# While a handler still runs, the window answers at once.
journey_busy_handler() {
    echo 60 >"$work/records/sleep"
    paste "$page_link"
    click Download
    expect_opened "$media_link"
    click "Get Link"
    expect_box "$media_link"
    local record
    record=$(starts | tail -n 1)
    [ ! -e "${record%started}finished" ] || fail "the handler had already ended"
    # The handler's sleep ends now, so that nothing outlives the journeys (its record names its pid).
    rm "$work/records/sleep"
    record=${record%.started}
    pkill -P "${record##*-}" sleep
}
# With no handler, or one that says the desktop has no browser set up (xdg-open's status 3),
# Download stays silent (a message box would keep Get Link's click from the window and stay over
# it); the banner says why in a message box.
journey_no_handler() {
    mv "$work/bin/xdg-open" "$work/xdg-open"
    paste "$page_link"
    click Download
    click "Get Link"
    expect_box "$media_link"
    click VBOX
    expect_message "No program to open web links could be started: xdg-open (in *): No such file or directory."
    mv "$work/xdg-open" "$work/bin/xdg-open"
    echo 3 >"$work/records/status"
    paste "$page_link"
    click Download
    expect_opened "$media_link"
    click VBOX
    expect_opened "$home_link"
    expect_message "No program to open web links is set up: xdg-open could not open $home_link (exit status 3)."
    rm "$work/records/status"
}
# A process that has ended but was not waited for yet is a zombie (state Z).
ended() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat")" = Z ]; }
journey_close() {
    face_close
    local status=0
    step="wait for the end"
    wait_until ended "$pid" || fail "the program still runs"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    pid=
}

# shellcheck source=face_x11.sh
source "$here/face_$face.sh"
trap 'face_stop; rm -rf "$work"' EXIT
face_start
for journey in "${journeys[@]}"; do
    [[ $skipped != *" $face:$journey "* ]] || continue
    started=$SECONDS
    "journey_$journey"
    echo "ok: $journey ($((SECONDS - started)) s)"
done
journey=end step="count the handlers"
[ "$(starts | wc -l)" -eq "$expected_starts" ] || fail "$(starts | wc -l) handlers started, $expected_starts expected"
echo "passed: every journey on $face"
