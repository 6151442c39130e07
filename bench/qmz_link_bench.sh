#!/usr/bin/env bash
# Prints qmz-link's rows of the benchmark table. On each input qmz-link runs beside its floor, the
# input read and copied through a pipe (`cat | cat`), and on the README's mix beside a `sed -E`
# script doing the same job, whose output must be identical; the runs alternate in a rotating
# order, each figure is a median, standard error and output go to /dev/null. Peak resident memory
# comes from a run of its own under GNU time. BEFORE, another build of qmz-link (an older commit's),
# adds its time on every input, run in the same rotation.
# Usage: bench/qmz_link_bench.sh QMZ_LINK SITE_HOST MEDIA_SCHEME://MEDIA_HOST RUNS WORK [BEFORE]
set -euo pipefail
qmz_link=$1 site=$2 media=$3 runs=$4 work=$5 before=${6:-}
here=$(dirname "$0")
lines=2000000 lines_text=2,000,000
mkdir -p "$work"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
met() { awk -v value="$1" -v goal="$2" 'BEGIN { print (value <= goal ? "yes" : "no") }'; }

# The inputs: name, then what the row calls it.
inputs=(readme quarters links nonlinks nonascii long)
declare -A title=(
    [readme]="$lines_text lines, the mix below, identical output to sed"
    [quarters]="$lines_text lines, a quarter each: page links, www page links, one character too long, other addresses"
    [links]="$lines_text page links"
    [nonlinks]="$lines_text lines, no page link"
    [nonascii]="$lines_text page links, video IDs with é, ж, 中"
    [long]="one line of 200,000,000 bytes"
)
echo "qmz-link: making the inputs..." >&2
for input in "${inputs[@]::5}"; do
    awk -v count="$lines" -v site="$site" -v media="$media" -v mix="$input" -f "$here/make_lines.awk" >"$work/$input.txt"
done
{ head -c 200000000 /dev/zero | tr '\0' x; echo; } >"$work/long.txt"

# The same job in sed: the lines are ASCII, so sed's characters in the C locale are the program's.
sed_script="s#^http://(www\\.)?${site//./\\.}/play:(..)(......)\$#${media}/s/\\2/\\2\\3.flv#;t;s/.*//"
run_sed() { LC_ALL=C sed -E "$sed_script" <"$1"; }
run_qmz_link() { "$qmz_link" <"$1" 2>/dev/null || [ $? -eq 1 ]; }
run_before() { "$before" <"$1" 2>/dev/null || [ $? -eq 1 ]; }
run_cat() { cat <"$1" | cat; }
run_sed "$work/readme.txt" >"$work/sed.out"
run_qmz_link "$work/readme.txt" >"$work/qmz-link.out"
if ! cmp -s "$work/sed.out" "$work/qmz-link.out"; then
    echo "qmz-link and sed disagree: compare $work/sed.out and $work/qmz-link.out" >&2
    exit 1
fi

echo "qmz-link: $runs rounds on ${#inputs[@]} inputs, beside cat | cat${before:+ and $before}..." >&2
for input in "${inputs[@]}"; do
    commands=(run_qmz_link run_cat)
    [ -z "$before" ] || commands+=(run_before)
    [ "$input" != readme ] || commands+=(run_sed)
    for ((round = 0; round < runs; ++round)); do
        for ((k = 0; k < ${#commands[@]}; ++k)); do
            command=${commands[(k + round) % ${#commands[@]}]}
            start=$EPOCHREALTIME
            "$command" "$work/$input.txt" >/dev/null
            end=$EPOCHREALTIME
            awk -v name="$command" -v s="$start" -v e="$end" 'BEGIN { printf "%s %.3f\n", name, (e - s) * 1000 }'
        done
    done >"$work/$input.times"
    median_of() { awk -v name="$1" '$1 == name { print $2 }' "$work/$input.times" | median; }
    qmz_ms=$(median_of run_qmz_link) cat_ms=$(median_of run_cat)
    # GNU time's last line; qmz-link's status 1 for lines without a link is no failure here.
    peak_kib=$({ /usr/bin/time -f %M "$qmz_link" <"$work/$input.txt" 2>&1 >/dev/null || true; } | tail -n 1)
    cat_ratio=$(ratio "$qmz_ms" "$cat_ms")
    compared="cat \\| cat $(printf '%.0f' "$cat_ms") ms"
    [ -z "$before" ] || compared+="; before $(printf '%.0f' "$(median_of run_before)") ms"
    goal=""
    if [ "$input" = readme ] || [ "$input" = quarters ]; then
        goal="<= 4x cat \\| cat ($(met "$cat_ratio" 4)), aim 2.5x ($(met "$cat_ratio" 2.5))"
    fi
    if [ "$input" = readme ]; then
        sed_ms=$(median_of run_sed)
        compared+="; sed -E $(printf '%.0f' "$sed_ms") ms"
        sed_ratio=$(ratio "$sed_ms" "$qmz_ms")
        cat_ratio+="x cat \\| cat; ${sed_ratio}x faster than sed"
        goal+="; >= 10x faster than sed ($(awk -v r="$sed_ratio" 'BEGIN { print (r >= 10 ? "yes" : "no") }'))"
    else
        cat_ratio+="x cat \\| cat"
    fi
    printf '| qmz-link, %s | %.0f ms, peak RSS %.1f MiB | %s | %s | %s |\n' "${title[$input]}" "$qmz_ms" \
        "$(awk -v k="$peak_kib" 'BEGIN { print k / 1024 }')" "$compared" "$cat_ratio" "$goal"
done
