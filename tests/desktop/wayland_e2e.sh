#!/usr/bin/env bash
# The built program on a Wayland session: a headless Weston (pixman renderer, so that there are
# pixels to capture) and Qt's wayland platform, with no X server to fall back on. Weston's headless
# backend has no seat, so no keyboard or pointer exists to click Get Link with; what can be shown
# is checked instead: the window is mapped under its title and application id, it looks pixel for
# pixel like the reference picture taken on X11, and the program ends by itself when the session does.
# Usage: wayland_e2e.sh QMZ APP_ID REFERENCE_PNG SCREENSHOT_OUT
set -euo pipefail
qmz=$(realpath "$1") app_id=$2 reference=$(realpath "$3") screenshot_out=$(realpath -m "$4")
source "$(dirname "$0")/weston_session.sh"
unset DISPLAY
start_weston headless-backend.so
start_qmz "$qmz"

wait_for_window output.png
cp output.png "$screenshot_out"
echo "Screenshot of the Wayland output: $screenshot_out"

grep -q "set_title(\"QMZ\")" proto.log || fail "the window did not set the title QMZ"
grep -q "set_app_id(\"$app_id\")" proto.log || fail "the window's application id is not $app_id (the desktop entry's name)"
echo "Title QMZ, application id $app_id"

# The window's client area, placed by the banner's red in both pictures, against the X11 picture.
read -r left top <<<"$(window_origin output.png "$reference")"
size=$(identify -format '%wx%h' "$reference")
convert output.png -crop "$size+$left+$top" +repage window.png
differing=$(differing_pixels window.png "$reference")
echo "Window at $left,$top on the output, $size; pixels differing from the X11 picture: $differing"
[ "$differing" = "0" ] || { cp window.png "${screenshot_out%.png}-window.png"; fail "the window on Wayland does not look as on X11"; }
kill -0 "$program" 2>/dev/null || fail "qmz ended while its window was shown"

# The session ends: qmz must notice and end by itself, without a crash, a signal or a hang.
kill -TERM "$weston"
wait "$weston" || true
wait_for_end "$program" || fail "qmz still runs after its Wayland session ended"
echo "qmz ended with status $status after the compositor stopped"
[ "$status" -lt 128 ] || fail "qmz was ended by signal $((status - 128))"
unexpected=$(grep -v -e '^$' -e 'The Wayland connection broke' qmz.log || true)
[ -z "$unexpected" ] || fail "qmz printed: $unexpected"
echo "OK"
