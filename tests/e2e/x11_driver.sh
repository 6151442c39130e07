# Sourced by the end-to-end scripts: starts QMZ on the current X display with a recording
# stand-in link handler first on PATH, and drives it as a user would, through the mouse, the
# keyboard and the clipboard. Expects $qmz and $handler to be set.

work=$(mktemp -d)
qmz_pid=
trap 'kill "$qmz_pid" 2>/dev/null || true; pkill -P $$ xclip 2>/dev/null || true; rm -rf "$work"' EXIT
clipboard_server=
mkdir "$work/bin" "$work/records"
cp "$handler" "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" QMZ_TEST_RECORDS="$work/records"

fail() { echo "FAIL: $*" >&2; exit 1; }

start_qmz() {
    "$qmz" &
    qmz_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
    [ -n "$window" ] || fail "no QMZ window appeared"
    xdotool windowfocus --sync "$window"
}

# Places in the window's client area, in pixels at 96 DPI.
click() {
    case $1 in
        Text1) xdotool mousemove --window "$window" 100 49 click 1 ;;
        Download) xdotool mousemove --window "$window" 198 72 click 1 ;;
        GetLink) xdotool mousemove --window "$window" 132 72 click 1 ;;
        Banner) xdotool mousemove --window "$window" 40 20 click 1 ;;
        Label3) xdotool mousemove --window "$window" 170 8 click 1 ;;
        *) fail "no place called $1" ;;
    esac
}

# The clipboard is owned by a server of ours (xclip, in the foreground) until the program copies
# something, which takes ownership and so ends that server. That tells a copy from no copy, and
# never takes the clipboard away from a paste that is still under way.
offer_clipboard() {
    xclip -selection clipboard -quiet <"$1" >/dev/null 2>&1 &
    clipboard_server=$!
    sleep 0.1
}

# Offers the contents of a file on the clipboard and pastes it over the text box's text.
paste_file() {
    offer_clipboard "$1"
    [ "${text_box_focused:-no}" = yes ] || click Text1
    xdotool key --clearmodifiers ctrl+a ctrl+v
}
paste() {
    printf '%s' "$1" >"$work/paste"
    paste_file "$work/paste"
}

# Copies the text box's whole text out through the clipboard into the file $1, waiting up to
# $copy_patience seconds (1 unless set) for the program to take the clipboard. Clicks into the box
# first unless $text_box_focused is "yes".
copy_text_box() {
    if ! kill -0 "${clipboard_server:-0}" 2>/dev/null; then
        : >"$work/nothing"
        offer_clipboard "$work/nothing"
    fi
    [ "${text_box_focused:-no}" = yes ] || click Text1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for _ in $(seq $((${copy_patience:-1} * 20))); do
        kill -0 "$clipboard_server" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$clipboard_server" 2>/dev/null; then
        # Nothing was copied: the box is empty.
        kill "$clipboard_server"
        wait "$clipboard_server" 2>/dev/null || true
        : >"$1"
    else
        timeout 60 xclip -selection clipboard -o >"$1" 2>/dev/null || true
    fi
}
text_box() {
    copy_text_box "$work/copied"
    cat "$work/copied"
}
# Checks, up to the given number of times (50 unless told), a tenth of a second apart, whether
# the text box holds the contents of the file $1.
expect_text_file() {
    local tries=${2:-50}
    for _ in $(seq "$tries"); do
        copy_text_box "$work/copied"
        cmp -s "$1" "$work/copied" && return 0
        sleep 0.1
    done
    fail "text box holds $(wc -c <"$work/copied") bytes ($(head -c 80 "$work/copied")), expected $(wc -c <"$1") ($(head -c 80 "$1"))"
}
expect_text() {
    printf '%s' "$1" >"$work/expected"
    expect_text_file "$work/expected" "${2:-50}"
}

handler_starts() { find "$work/records" -name '*.started' | wc -l; }
wait_for_records() {
    for _ in $(seq 200); do
        [ "$(handler_starts)" -ge "$1" ] && return 0
        sleep 0.05
    done
    fail "expected $1 handler starts, saw $(handler_starts)"
}
# Prints the single argument of each recorded start, oldest first.
recorded_links() {
    for record in $(find "$work/records" -name '*.started' | sort); do
        tail -n +4 "$record" | tr '\0' '\n'
    done
}
