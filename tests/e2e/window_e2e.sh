#!/usr/bin/env bash
# Drives the built program on an X display as a user would: pastes through the clipboard, clicks
# the buttons and the banner, copies the text box back out, and checks what the link handler got.
# Usage: window_e2e.sh QMZ STAND_IN_HANDLER PAGE_LINK MEDIA_LINK HOME_LINK
set -euo pipefail
qmz=$1 handler=$2 page_link=$3 media_link=$4 home_link=$5

work=$(mktemp -d)
trap 'kill "$qmz_pid" 2>/dev/null || true; pkill -P $$ xclip 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/records"
cp "$handler" "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" QMZ_TEST_RECORDS="$work/records"

fail() { echo "FAIL: $*" >&2; exit 1; }

"$qmz" &
qmz_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
[ -n "$window" ] || fail "no QMZ window appeared"
xdotool windowfocus --sync "$window"

# Places in the window's client area, in pixels at 96 DPI.
click() {
    case $1 in
        Text1) xdotool mousemove --window "$window" 100 49 click 1 ;;
        Download) xdotool mousemove --window "$window" 198 72 click 1 ;;
        GetLink) xdotool mousemove --window "$window" 132 72 click 1 ;;
        Banner) xdotool mousemove --window "$window" 40 20 click 1 ;;
        Label3) xdotool mousemove --window "$window" 170 8 click 1 ;;
    esac
}
paste() {
    printf '%s' "$1" | xclip -selection clipboard -loops 1 &
    sleep 0.2
    click Text1
    xdotool key --clearmodifiers ctrl+a ctrl+v
}
text_box() {
    click Text1
    # Empty the clipboard first, so that an empty text box reads back as empty.
    printf '' | xclip -selection clipboard -loops 1 &
    sleep 0.2
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.2
    timeout 5 xclip -selection clipboard -o 2>/dev/null || true
}
expect_text() {
    local expected=$1 actual
    for _ in $(seq 50); do
        actual=$(text_box)
        [ "$actual" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "text box holds '$actual', expected '$expected'"
}
wait_for_records() {
    for _ in $(seq 200); do
        [ "$(find "$work/records" -name '*.started' | wc -l)" -ge "$1" ] && return 0
        sleep 0.05
    done
    fail "expected $1 handler starts, saw $(find "$work/records" -name '*.started' | wc -l)"
}
# Prints the single argument of each recorded start, oldest first.
recorded_links() {
    for record in $(find "$work/records" -name '*.started' | sort); do
        tail -n +4 "$record" | tr '\0' '\n'
    done
}

paste "$page_link"
expect_text "$page_link"
click GetLink
expect_text "$media_link"
click GetLink
expect_text ""
echo "ok: Get Link turned the pasted page link into its media link, then emptied the box"

paste "$page_link"
click Download
click Download
wait_for_records 2
expect_text "$page_link"
[ "$(recorded_links)" = "$(printf '%s\n%s' "$media_link" "$media_link")" ] || fail "Download handed over: $(recorded_links)"
folder=$(sed -n 2p "$(find "$work/records" -name '*.started' | head -n1)")
[ "$folder" = "$(cd "$(dirname "$qmz")" && pwd -P)" ] || fail "handler ran in $folder"
echo "ok: Download opened the media link twice, in the program's folder, and kept the page link"

click Label3
click Banner
wait_for_records 3
[ "$(recorded_links | tail -n1)" = "$home_link" ] || fail "banner opened: $(recorded_links | tail -n1)"
[ "$(recorded_links | wc -l)" -eq 3 ] || fail "a decoration label opened something"
echo "ok: the banner opened the home page; the slogan opened nothing"

kill -0 "$qmz_pid" || fail "the program is gone"
echo "passed"
