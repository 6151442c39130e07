#!/usr/bin/env bash
# A user's journeys through the real window, one list for every face. The face's adapter
# (face_FACE.sh) starts the program, clicks, types and pastes as a user does; the window is read as
# a screen reader reads it, through READER (screen_reader.py on Qt, qmz_screen_reader.exe under
# Wine). The journeys run one after another in one program, which the last one closes.
# Usage: journeys.sh FACE PROGRAM READER STAND_IN_HANDLER PAGE_LINK MEDIA_LINK HOME_LINK
set -eEuo pipefail
face=$1 program=$(realpath "$2") reader=$(realpath "$3") stand_in=$(realpath "$4") page_link=$5 media_link=$6 home_link=$7
here=$(dirname "$(realpath "$0")") work=$(mktemp -d) program_folder=$(dirname "$program")
journeys=(screen_reader buttons_and_labels texts no_handler close)
# X11 has no window manager to draw a close button; Wine's shell starts a browser launcher of its
# own, which never tells of a handler's failure; Wine's MSAA presents every control as a plain
# client object named by its window text, and sets and presses nothing.
skipped=" x11:close wine:no_handler wine:screen_reader "
mkdir "$work/bin" "$work/records"
cp "$stand_in" "$work/bin/xdg-open"
# The stand-in handler comes first; on Qt the program's PATH holds nothing else (handler_path), so
# that no xdg-open of the machine's answers when the journey takes the stand-in away.
export PATH="$work/bin:$PATH" QMZ_TEST_RECORDS="$work/records"
handler_path=$work/bin
journey=start step=start opened=0
# Every failure, in this shell or a subshell, and every command that fails unexpectedly ends the
# run with one line that says where, and a screenshot.
fail() {
    mkdir "$work/failed" 2>/dev/null && echo "FAIL ($face, $journey, $step): $* (screenshot: $PWD/journeys_on_$face.png)" >&2 &&
        import -window root "$PWD/journeys_on_$face.png"
    [ "$BASHPID" = $$ ] || kill -USR1 $$
    exit 1
}
trap 'exit 1' USR1
trap 'fail "$BASH_COMMAND failed"' ERR
# wait_until COMMAND...: true once the command succeeds, tried every 0.05 s for $patience s (10).
wait_until() {
    local deadline=$((SECONDS + ${patience:-10}))
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] && sleep 0.05 || return 1; done
}
input() { timeout 10 xdotool "$@" || fail "xdotool $1 gave no answer"; }
read_window() { timeout 30 "${face_reader[@]}" "$@"; }
click() {
    step="click $1"
    local x y
    read -r x y <<<"$(awk -v name="$1" '{ n = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ [^ ]+ /, "", n) }
                                        n == name { print $1 + int($3 / 2), $2 + int($4 / 2) }' "$work/places")"
    [ -n "$x" ] || fail "a screen reader knows no control by this name"
    face_click "$x" "$y"
}
keys() { step="keys $*"; input key --clearmodifiers "$@"; }
press() { step="press $1 through the screen reader"; read_window press "$1" || fail "it cannot be pressed"; }
# paste TEXT: one paste into the box, once the side that takes it holds the text; the box then
# holds its first line.
paste() {
    step="offer a text"
    printf '%s' "$1" >"$work/offered"
    # The offer before it ends as this one takes its place.
    "${clipboard_owner[@]}" <"$work/offered" >/dev/null 2>&1 &
    face_holds_offer || fail "the clipboard does not give the text offered"
    click "Video page link"
    face_paste
    expect_box "$(awk -v RS='[\r\n]' '{ printf "%s", $0; exit }' "$work/offered")"
}
# expect_box TEXT: the box holds TEXT, as a screen reader reads it.
expect_box() {
    step="read the box"
    printf '%s' "$1" >"$work/expected"
    wait_until eval 'read_window box >"$work/box" && cmp -s "$work/box" "$work/expected"' ||
        fail "the box holds $(head -c 80 "$work/box") ($(wc -c <"$work/box") bytes), not $(head -c 80 "$work/expected")"
}
# expect_message PATTERN: waits for a message box over the window that says PATTERN, and answers it.
expect_message() { step="read a message box"; said=$(read_window message "$1") || fail "the message box says: ${said:-nothing}"; }

# The handler starts recorded so far; expect_opened checks that start number N got LINK, in the
# program's folder. Every start is counted, so a stray one fails the run at the end.
starts() { find "$work/records" -name '*.started' | sort; }
expect_opened() {
    step="wait for the handler"
    opened=$((opened + 1))
    local record state
    wait_until eval 'record=$(starts | sed -n "${opened}p") && [ -n "$record" ]' || fail "no handler started for $1"
    # Its record: the argument count, its folder, whether it inherited a watched descriptor, then
    # each argument NUL-terminated.
    printf '1\n%s\nno\n%s\0' "$program_folder" "$1" | cmp -s - "$record" || fail "the handler got: $(tr '\0\n' '  ' <"$record")"
    # The program, a background job here, ignores SIGINT and SIGQUIT; where the hand-off is QMZ's
    # own, the handler starts with no signal blocked or ignored (but glibc's internal 32 and 33,
    # which posix_spawn leaves), in a session of its own, its streams on /dev/null.
    [ "$face" != wine ] || return 0
    state=$(cat "${record%started}state")
    [[ $state =~ ^SigBlk:0{16}\ SigIgn:0{7}[01][08]0{7}\ +session:own\ streams:(/dev/null\ ){3}$ ]] || fail "the handler started in the state: $state"
}

# What a screen reader finds in the window, word for word (accessible_tree_qt.txt); then, as a blind
# user's tools do, the text set, the buttons and the banner pressed and the box read.
journey_screen_reader() {
    step="read the accessible tree"
    read_window tree | diff "$here/accessible_tree_qt.txt" - >&2 || fail "a screen reader finds another window (above: < expected, > found)"
    step="set the box's text through the screen reader"
    read_window set "$page_link" || fail "the box's text cannot be set"
    press Download
    expect_opened "$media_link"
    press "Get Link"
    expect_box "$media_link"
    for label in VBOX 7; do press "$label"; expect_opened "$home_link"; done
}
# Enter and Esc in the box press no button and close nothing; Tab and Space press the buttons; of
# the labels, only the banner's answer a click. The handlers started here stay busy, and the window
# answers at once all the same.
journey_buttons_and_labels() {
    echo 60 >"$work/records/sleep"
    paste "$page_link"
    keys Return Escape Tab space
    expect_opened "$media_link"
    click "Still ownin' ya"
    click "Hi to the crew!"
    for label in VBOX 7; do click "$label"; expect_opened "$home_link"; done
    keys Tab space
    expect_box "$media_link"
    click Download
    click "Get Link"
    expect_box ""
    [ ! -e "$(starts | tail -n 1 | sed 's/started$/finished/')" ] || fail "the handler had already ended"
    # Their sleep ends now, so that nothing outlives the journeys (their records name their pids).
    rm "$work/records/sleep"
    pkill -P "$(starts | sed 's/.*-\(.*\)\.started/\1/' | command paste -sd,)" sleep
}
# A video ID is any eight characters, which reach the handler as they are, through no shell (Wine's
# own shell hands a quote and a backquote on in its own way). Pasted line breaks: the one-line box
# keeps the first line. A long paste is kept whole.
journey_texts() {
    local id ids=($'ab\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80CD') ending
    [ "$face" = wine ] || ids+=("'\$(x)\`;\"")
    for id in "${ids[@]}"; do
        paste "${page_link%????????}$id"
        click Download
        expect_opened "${media_link%/*/*}/${id:0:2}/${id}.flv"
    done
    for ending in $'\n' $'\r\n' $'\rmore text\n' $'\nmore\nlines' "$(head -c 750000 /dev/urandom | base64 -w0)"; do
        paste "$page_link$ending"
    done
    click "Get Link"
    expect_box ""
}
# With a handler that says the desktop has no browser set up or could not open the link (xdg-open's
# statuses 3 and 4), or none at all, Download stays silent (a message box would keep Get Link's
# click from the window and stay over it); the banner says why in a message box. (Any other status
# brings no message box, which would keep every later click from the window.)
journey_no_handler() {
    paste "$page_link"
    for status in 3 4; do
        echo "$status" >"$work/records/status"
        click Download
        expect_opened "$media_link"
        click VBOX
        expect_opened "$home_link"
        expect_message "No program to open web links is set up: xdg-open could not open $home_link (exit status $status)."
    done
    rm "$work/records/status" "$work/bin/xdg-open"
    click Download
    click "Get Link"
    expect_box "$media_link"
    click VBOX
    expect_message "No program to open web links could be started: xdg-open (to run in the folder *): No such file or directory."
    cp "$stand_in" "$work/bin/xdg-open"
}
journey_close() {
    face_close
    step="wait for the end"
    # A process that has ended but was not waited for yet is a zombie (state Z).
    wait_until eval '[[ $(ps -o stat= "$pid") != [!Z]* ]]' || fail "the program still runs"
    wait "$pid" || fail "the program ended with status $?"
}

# shellcheck source=face_x11.sh
source "$here/face_$face.sh"
# Nothing the run started outlives it.
trap 'pkill -P $$ || true; rm -rf "$work"' EXIT
face_start
for journey in "${journeys[@]}"; do
    [[ $skipped != *" $face:$journey "* ]] || continue
    SECONDS=0
    "journey_$journey"
    echo "ok: $journey ($SECONDS s)"
done
journey=end step="count the handlers"
[ "$(starts | wc -l)" -eq "$opened" ] || fail "$(starts | wc -l) handlers started, $opened expected"
echo "passed: every journey on $face"
