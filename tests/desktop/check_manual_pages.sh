#!/bin/sh
# The manual pages kept in the source are what help2man makes of the programs' --help and --version.
# Usage: check_manual_pages.sh SOURCE_DIR OUTPUT_DIR RELEASE_DATE INCLUDE_DIR PROGRAM...
set -eu
source=$1 out=$2 date=$3 includes=$4
shift 4
command -v help2man >/dev/null || { echo "FAIL: help2man is needed to check the manual pages" >&2; exit 1; }
mkdir -p "$out"
for program; do
    name=$(basename "$program")
    "$source/desktop/make_manual_page.sh" "$program" "$includes/$name.h2m" "$date" "$out/$name.1"
    diff -u "$source/desktop/man/$name.1" "$out/$name.1" >&2 || { echo "FAIL: desktop/man/$name.1 is not what $name says; \
make the pages anew with: cmake --build BUILD_DIR --target manual_pages" >&2; exit 1; }
done
echo "OK"
