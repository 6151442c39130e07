#!/usr/bin/env bash
# Pastes texts of several megabytes into the running program and presses Get Link and Download on
# them: the whole text must arrive, be refused as no page link, start no handler, and the window
# must go on answering. Prints how long each step took.
# Usage: hostile_paste_e2e.sh QMZ STAND_IN_HANDLER PAGE_LINK MEDIA_LINK
set -euo pipefail
qmz=$1 handler=$2 page_link=$3 media_link=$4

# shellcheck source=x11_driver.sh
source "$(dirname "$0")/x11_driver.sh"
start_qmz

now() { date +%s.%N; }
since() { echo "$(now) - $1" | bc; }

megabytes=3
# Random printable text, and the same length behind a real page link's prefix.
head -c $((megabytes * 750000)) /dev/urandom | base64 -w0 >"$work/random.txt"
{ printf '%s' "$page_link"; head -c $((megabytes * 750000)) /dev/urandom | base64 -w0; } >"$work/page-prefixed.txt"

for text in random page-prefixed; do
    started=$(now)
    paste_file "$work/$text.txt"
    # Copying queues up behind the paste; clicking into a box that is still taking a long paste
    # would too, but it is not needed: the focus is there.
    text_box_focused=yes copy_patience=60 expect_text_file "$work/$text.txt" 1
    echo "figure: ${megabytes} MB ($text) pasted and read back whole in $(since "$started") s"

    click Download
    started=$(now)
    click GetLink
    expect_text "" 100
    echo "figure: Download then Get Link on it answered, and the emptied box was read back, in $(since "$started") s (1 s of it is the wait that shows nothing was copied)"
done

# The window still works, and nothing was handed to the handler for the big texts.
paste "$page_link"
click GetLink
expect_text "$media_link"
[ "$(handler_starts)" -eq 0 ] || fail "a handler was started for a text that is no page link"
kill -0 "$qmz_pid" || fail "the program is gone"
echo "passed"
