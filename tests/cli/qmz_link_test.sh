#!/usr/bin/env bash
# qmz-link as users run it: real standard input and output, real exit statuses; and the table of
# texts that the derivation and the windows are held to as well, filled in by EXPAND_LINK_TABLE.
# Usage: qmz_link_test.sh QMZ_LINK EXPAND_LINK_TABLE LINK_TABLE SITE_HOST MEDIA_SCHEME://MEDIA_HOST MEMORY_LIMIT_KIB
# A MEMORY_LIMIT_KIB of 0 skips the memory check (a sanitizer's own reservations exceed any limit).
set -uo pipefail
shopt -s lastpipe  # "... | run" runs run in this shell, where it counts failures
qmz_link=$1 memory_limit=$6
page=http://$4/play: media=$5/s/
good=${page}ab12CD34 good_media=${media}ab/ab12CD34.flv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect STATUS OUT ERRORS: what the next run must give; OUT and ERRORS are printf formats, so that
# they may hold a NUL.
expect() { status=$1; printf -- "$2" >"$work/out.expected"; printf -- "$3" >"$work/errors.expected"; }
# run [ARGUMENT...] <INPUT: runs qmz-link, its output to descriptor $out_fd if set, and compares.
run() {
    local actual=0
    "$qmz_link" "$@" 5>"$work/out" >&"${out_fd:-5}" 5>&- 2>"$work/errors" || actual=$?
    [ "$actual" = "$status" ] && cmp -s "$work/out" "$work/out.expected" && cmp -s "$work/errors" "$work/errors.expected" ||
        fail "qmz-link $(printf '%q ' "$@")gave status $actual, not $status; output, then messages:
$(diff <(od -c "$work/out.expected") <(od -c "$work/out") | head -n 20; diff "$work/errors.expected" "$work/errors")"
}
# no_link KIND NUMBERS [PROBLEM]: the messages for the inputs that give no link.
no_link() { local n; for n in $2; do printf 'qmz-link: %s %s: %s\\n' "$1" "$n" "${3:-no page link}"; done; }

# The table's texts and media links, each ended by a NUL.
"$2" "$3" "$4" "$5" utf-8 | mapfile -d '' fields
texts=()
for ((i = 0; i < ${#fields[@]}; i += 2)); do
    texts+=("${fields[i]}")
    printf '%s\n' "${fields[i + 1]}"
done >"$work/links"
numbers=$(awk '$0 == "" { printf "%d ", NR }' "$work/links")
[ "${#texts[@]}" -gt 30 ] || fail "the table $3 gave only ${#texts[@]} texts"
expect 1 "" "$(no_link argument "$numbers")"
cp "$work/links" "$work/out.expected"
run -- "${texts[@]}"
# The same output from standard input, the messages naming lines.
printf -- "$(no_link line "$numbers")" >"$work/errors.expected"
printf '%s\n' "${texts[@]}" | run

# Standard input, line by line: the last line needs no LF, only one CR goes with the LF, a NUL is a
# character, a line that is not UTF-8 is no link, and one that looks like an option is a text.
expect 0 "" ""; run </dev/null
expect 0 "$good_media\n$good_media\n" ""; printf '%s\n%s' "$good" "$good" | run
expect 1 "\n" "$(no_link line 1)"; printf '%s\r\r\n' "$good" | run
expect 0 "${media}ab/ab\0CD345.flv\n" ""; printf '%sab\0CD345\n' "$page" | run
expect 1 "\n$good_media\n" "$(no_link line 1)"; printf '%sab12CD3\377\n%s' "$page" "$good" | run
# Bytes that only pass for UTF-8 (an overlong "/", a surrogate, a code point past U+10FFFF) would
# complete a video ID: they are no text, so no link.
expect 1 "\n\n\n" "$(no_link line "1 2 3")"
printf '%sab12CD3\300\257\n%sab12CD3\355\240\200\n%sab12CD\364\220\200\200\n' "$page" "$page" "$page" | run
expect 1 "\n" "$(no_link line 1)"; echo --help | run
# Arguments, taken exactly and in order, standard input left alone; options only before "--".
expect 1 "$good_media\n\n\n\n" "$(no_link argument "2 3 4")"; echo "$good" | run "$good" nonsense "" -
expect 1 "\n\n$good_media\n" "$(no_link argument "1 2")"; run -- -x -- "$good" </dev/null
expect 2 "" "qmz-link: unknown option '-x'\nTry 'qmz-link --help' for more information.\n"; run "$good" -x --version
# A video ID may hold LF or CR; its media link would take two lines, or end one early.
expect 1 "\n\n" "$(no_link argument "1 2" "its media link would break the line")"; run "${page}ab12CD3"$'\n' "${page}ab12CD3"$'\r'
expect 1 "\n" "$(no_link line 1 "its media link would break the line")"; printf '%sab12CD3\r\r\n' "$page" | run
# The bucket, the ID's first two UTF-16 code units, may end inside a character of two: half a
# character has no UTF-8 form, and the link would be another.
expect 1 "\n" "$(no_link line 1 "its media link would split a character")"; printf '%sa\360\237\230\20023456\n' "$page" | run
# Input or output that fails is trouble, not a line without a link: a folder opens but cannot be
# read, /dev/full takes no bytes, and a pipe whose reader has gone ends qmz-link by SIGPIPE
# silently, as Unix programs end, or, where SIGPIPE is ignored, as any failed write does.
expect 2 "" "qmz-link: cannot read the input: Is a directory\n"; run </
exec 6>/dev/full
expect 2 "" "qmz-link: cannot write the output: No space left on device\n"; out_fd=6 run "$good"
mkfifo "$work/pipe"
exec 3<>"$work/pipe" 4>"$work/pipe" 3<&-  # a pipe whose only reader has gone
expect 141 "" ""; out_fd=4 run "$good"
trap '' PIPE
expect 2 "" "qmz-link: cannot write the output: Broken pipe\n"; out_fd=4 run "$good"
trap - PIPE

# A line of 128 MiB is one line without a link, read in little memory.
if [ "$memory_limit" -gt 0 ]; then
    expect 1 "\n" "$(no_link line 1)"
    (ulimit -v "$memory_limit" && head -c $((128 << 20)) /dev/zero | tr '\0' 4 | run; exit "$failures") || failures=$((failures + 1))
fi
# Many lines of both prefixes, both endings and no link cross every boundary of qmz-link's buffer.
seq 10000000 10300000 | awk -v page="$page" -v www="http://www.${page#http://}" -v media="$media" -v out="$work/out.expected" '
    { id = $0 }
    NR % 3 == 0 { print page id; print media substr(id, 1, 2) "/" id ".flv" >out }
    NR % 3 == 1 { print www id "\r"; print media substr(id, 1, 2) "/" id ".flv" >out }
    NR % 3 == 2 { print page id "/"; print "" >out }' >"$work/many"
status=1
awk 'NR % 3 == 2 { printf "qmz-link: line %d: no page link\n", NR }' "$work/many" >"$work/errors.expected"
run <"$work/many"
# Each line is answered while the input stays open.
coproc answering { "$qmz_link"; }
# Bash unsets answering_PID once it sees the coprocess end, which may come before the wait below.
answering_pid=$answering_PID
for _ in 1 2 3; do
    echo "$good" >&"${answering[1]}"
    IFS= read -r -t 20 answer <&"${answering[0]}" && [ "$answer" = "$good_media" ] || fail "no answer while the input stays open"
done
input=${answering[1]}
exec {input}>&-
wait "$answering_pid" || fail "qmz-link ended with status $? after answering"

[ "$failures" -eq 0 ] || { echo "$failures checks failed" >&2; exit 1; }
echo "passed"
