#!/bin/sh
# Makes a program's manual page with help2man from its --help and --version, run without a display
# as a build machine has none, and dated by the release rather than by today. Each line of the
# COPYRIGHT section (--version's notice) stays a line of its own, where roff would run them together.
# Usage: make_manual_page.sh PROGRAM INCLUDE_FILE RELEASE_DATE OUTPUT
set -eu
env -u DISPLAY -u WAYLAND_DISPLAY SOURCE_DATE_EPOCH="$(date -u -d "$3" +%s)" \
    help2man --no-info --section=1 --include="$2" --output="$4.new" "$1"
sed '/^\.SH COPYRIGHT$/,/^\.PP$/ { /^\.br$/d; s/^[^.].*$/&\n.br/ }' "$4.new" >"$4"
rm "$4.new"
