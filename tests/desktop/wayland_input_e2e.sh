#!/usr/bin/env bash
# The built program on Wayland, used through real input: Weston's X11 backend runs as a window on
# a private X server (run this under scripts/with-xvfb.sh), and xdotool types and clicks into that
# window, so every key and click reaches qmz through the compositor's wl_seat, as a user's would.
# Usage: wayland_input_e2e.sh QMZ REFERENCE_PNG STAND_IN_XDG_OPEN PAGE_LINK MEDIA_LINK
set -euo pipefail
qmz=$(realpath "$1") reference=$(realpath "$2") stand_in=$(realpath "$3") page_link=$4 media_link=$5
source "$(dirname "$0")/weston_session.sh"
[ -n "${DISPLAY:-}" ] || fail "no X server: run under scripts/with-xvfb.sh"
mkdir bin records
ln -s "$stand_in" bin/xdg-open
start_weston x11-backend.so
start_qmz "$qmz" PATH="$runtime/bin:$PATH" QMZ_TEST_RECORDS="$runtime/records"
wait_for_window before.png
read -r left top <<<"$(window_origin before.png "$reference")"
echo "Window at $left,$top"

# Weston's window sits at the X screen's top left with nothing around it, so X and Weston share
# coordinates. The pointer has to enter Weston's window from outside before Weston follows it.
xdotool mousemove 1000 760
sleep 0.3
click() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousemove_relative 1 0
    sleep 0.2
    xdotool click 1
    sleep 0.5
}
opened() { for record in records/*.started; do [ -e "$record" ] && tail -n +4 "$record" | tr -d '\0' && echo; done; }

# Places from the window's description at 96 dpi: Text1 (8,40 217x19), Download (168,64 61x17),
# Get Link (104,64 57x17).
click $((left + 100)) $((top + 49))
xdotool type --delay 15 "$page_link"
sleep 0.5
click $((left + 198)) $((top + 72))
[ "$(opened)" = "$media_link" ] || fail "Download opened [$(opened)], not $media_link"
echo "Typed the page link and clicked Download: the handler got $media_link"

screenshot typed.png
click $((left + 132)) $((top + 72))
screenshot got-link.png
# Get Link wrote into the text box: the inside of the box (inside its frame) changed and still
# shows text, which an empty box with its text cursor does not ...
inside="209x11+$((left + 12))+$((top + 44))"
for picture in before typed got-link; do convert $picture.png -crop "$inside" +repage box-$picture.png; done
ink() { convert "box-$1.png" -format '%[fx:standard_deviation]' info:; }
echo "Text box ink: empty $(ink before), page link $(ink typed), after Get Link $(ink got-link)"
[ "$(differing_pixels box-typed.png box-got-link.png)" != "0" ] || fail "Get Link left the text box as it was"
awk -v empty="$(ink before)" -v after="$(ink got-link)" 'BEGIN { exit !(after > 2 * empty + 0.05) }' \
    || fail "Get Link emptied the text box"
# ... and it is no page link any more: Download now opens nothing.
click $((left + 198)) $((top + 72))
[ "$(opened)" = "$media_link" ] || fail "after Get Link, Download opened again: $(opened)"
echo "Clicked Get Link: the text box changed to text that is no page link"

# The close button of the window's title bar ends the program as a user ends it. The button is
# small and drawn by Qt; a few nearby points are tried. Once the window is gone the program may
# take a moment to end.
for offset in "0 0" "1 0" "0 -1" "-1 0" "0 1" "2 2" "-2 -2"; do
    read -r dx dy <<<"$offset"
    click $((left + 219 + dx)) $((top - 16 + dy))
    kill -0 "$program" 2>/dev/null && window_shown now.png || break
done
wait_for_end "$program" || { screenshot not-closed.png; cp not-closed.png "${QMZ_FAILED_SCREENSHOT:-/dev/null}"; fail "a click on the close button did not end qmz"; }
echo "Clicked the close button: qmz ended with status $status"
[ "$status" -eq 0 ] || { cat qmz.log; fail "qmz ended with status $status"; }
echo "OK"
