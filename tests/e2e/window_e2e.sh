#!/usr/bin/env bash
# Drives the built program on an X display as a user would: pastes through the clipboard, clicks
# the buttons and the banner, copies the text box back out, and checks what the link handler got.
# Usage: window_e2e.sh QMZ STAND_IN_HANDLER PAGE_LINK MEDIA_LINK HOME_LINK
set -euo pipefail
qmz=$1 handler=$2 page_link=$3 media_link=$4 home_link=$5

# shellcheck source=x11_driver.sh
source "$(dirname "$0")/x11_driver.sh"
# Run from a folder whose name is Latin-1, not UTF-8, as an old one is: a folder is bytes.
program_folder=$work/$'caf\xe9 tools'
mkdir "$program_folder"
cp "$qmz" "$program_folder/qmz"
qmz=$program_folder/qmz
start_qmz

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
[ "$folder" = "$(cd "$program_folder" && pwd -P)" ] || fail "handler ran in $folder"
echo "ok: Download opened the media link twice, in the program's folder, and kept the page link"

click Label3
click Banner
wait_for_records 3
[ "$(recorded_links | tail -n1)" = "$home_link" ] || fail "banner opened: $(recorded_links | tail -n1)"
[ "$(recorded_links | wc -l)" -eq 3 ] || fail "a decoration label opened something"
echo "ok: the banner opened the home page; the slogan opened nothing"

kill -0 "$qmz_pid" || fail "the program is gone"
echo "passed"
