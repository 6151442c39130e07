#!/usr/bin/env bash
# Builds QMZ for speed in build/bench and prints one table of its figures beside their floors and
# rivals, all measured on this machine in one go. Installs what is missing first.
# Usage: scripts/bench.sh [RUNS]    RUNS (at least 15, default 21) is how many times each thing runs;
# the table gives medians. Runs of things compared with each other alternate. With QMZ_LINK_BEFORE
# set to another build of qmz-link, its times stand beside qmz-link's.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
[[ "$runs" =~ ^[0-9]+$ && "$runs" -ge 15 ]] || { echo "usage: $0 [RUNS], RUNS at least 15" >&2; exit 2; }

packages=$(cat scripts/linux-packages.txt bench/packages.txt | sed -e 's/#.*//' | xargs)
# shellcheck disable=SC2086
scripts/packages.sh $packages

build=build/bench
work=$build/work
mkdir -p "$build"
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQMZ_BUILD_BENCHMARKS=ON &&
       cmake --build "$build" -j 2; } >"$build/bench-build.log" 2>&1; then
    cat "$build/bench-build.log" >&2
    echo "the release build failed" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work/records"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The median of column COLUMN over the lines of FILE whose first field is NAME.
median_of() { awk -v name="$2" -v column="$3" '$1 == name { print $column }' "$1" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
load=$(cut -d' ' -f1-3 /proc/loadavg)

echo "Start-up: $runs rounds of qmz, the bare Qt window and the bare X11 window..." >&2
scripts/with-xvfb.sh "$build/bench/first_paint_probe" "$runs" \
    "qmz=$build/qmz" "bare_qt=$build/bench/bare_qt_window" "bare_x11=$build/bench/bare_x11_window" >"$work/start-up.txt"
for program in qmz bare_qt bare_x11; do
    printf -v "start_$program" '%.1f' "$(median_of "$work/start-up.txt" "$program" 2)"
    printf -v "memory_$program" '%.1f' "$(awk -v kib="$(median_of "$work/start-up.txt" "$program" 3)" 'BEGIN { print kib / 1024 }')"
done

echo "DeriveMediaLink: Google Benchmark, $runs repetitions..." >&2
"$build/bench/derive_media_link_bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | tr -d '"' | awk -F, '$1 ~ /_median$/ { sub(/_median$/, "", $1); print $1, $3, $11 }' \
    >"$work/derive.txt"
derive_row() {
    awk -v name="$1" -v what="$2" '$1 == name { printf "| DeriveMediaLink, %s | %.1f ns per call, %g heap allocations per call | | | |\n", what, $2, $3 }' \
        "$work/derive.txt"
}

echo "Download: $runs clicks in the real window (offscreen) to the stand-in handler..." >&2
# Absolute paths: the handler starts in the program's folder, not in this one.
if ! "$build/bench/download_bench" "$runs" "$PWD/tests/support" "$PWD/$work/records" >"$work/download-runs.txt" \
        2>"$work/download-errors.txt"; then
    cat "$work/download-errors.txt" >&2
    exit 1
fi
awk '{ print "download", $0 }' "$work/download-runs.txt" >"$work/download.txt"
click=$(median_of "$work/download.txt" download 2)
started=$(median_of "$work/download.txt" download 3)
answer=$(median_of "$work/download.txt" download 4)
asleep=$(awk '$5 == 1' "$work/download.txt" | wc -l)
direct=$(median_of "$work/download.txt" download 6)

echo "Long text: 5,000,000 characters into the box by each way, 3 rounds (2 s of idling each)..." >&2
scripts/with-xvfb.sh "$build/bench/long_text_bench" 3 5000000 >"$work/long-text.txt"
long_text_rows=$(for way in $(awk '!seen[$1]++ { print $1 }' "$work/long-text.txt"); do
    printf '| a long text (5,000,000 characters) by %s: heap grown, processor idle with the box focused | %.1f MB, %.1f %% of a core | | | |\n' \
        "${way//_/ }" "$(awk -v mb="$(median_of "$work/long-text.txt" "$way" 2)" 'BEGIN { print mb / 1e6 }')" "$(median_of "$work/long-text.txt" "$way" 3)"
done)

# qmz-link's rows, made by a script of their own; QMZ_LINK_BEFORE, another build of qmz-link (an
# older commit's), adds its times beside them.
site=$(sed -n 's/^QMZ_SITE_HOST:STRING=//p' "$build/CMakeCache.txt")
media=$(sed -n 's/^QMZ_MEDIA_SCHEME:STRING=//p' "$build/CMakeCache.txt")://$(sed -n 's/^QMZ_MEDIA_HOST:STRING=//p' "$build/CMakeCache.txt")
bench/qmz_link_bench.sh "$build/qmz-link" "$site" "$media" "$runs" "$work/qmz-link" ${QMZ_LINK_BEFORE:+"$QMZ_LINK_BEFORE"} \
    >"$work/qmz-link-rows.txt"

echo "qmz.exe: a Windows release build and a bare static Win32 window, compared by size..." >&2
# The bare window is built by the toolchain's own compiler, as qmz.exe is: statically, optimised for
# size, stripped.
windows_build=build/bench-windows
if ! { cmake -S . -B "$windows_build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
           -DBUILD_TESTING=OFF && cmake --build "$windows_build" -j 2 --target qmz &&
       "$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$windows_build"/CMakeFiles/*/CMakeCXXCompiler.cmake)" -Os -static -s -mwindows \
           -municode bench/bare_win32_window.cpp -o "$windows_build/bare_win32_window.exe"; } >"$windows_build.log" 2>&1; then
    cat "$windows_build.log" >&2
    echo "the Windows build failed" >&2
    exit 1
fi
exe_bytes=$(stat -c %s "$windows_build/qmz.exe")
bare_exe_bytes=$(stat -c %s "$windows_build/bare_win32_window.exe")

met() { awk -v value="$1" -v goal="$2" -v direction="$3" \
    'BEGIN { print ((direction == "max" ? value <= goal : value >= goal) ? "yes" : "no") }'; }
start_ratio=$(ratio "$start_qmz" "$start_bare_qt")
memory_ratio=$(ratio "$memory_qmz" "$memory_bare_qt")

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
cat <<TABLE

Machine: $(hostname), ${cpu:-unknown CPU}, $(nproc) cores; load average at start: $load; $(date -u '+%Y-%m-%d %H:%M UTC')
Medians of $runs runs, release build (build/bench), Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo 6).

| measurement | QMZ | compared with | ratio | goal (met) |
|---|---|---|---|---|
| start-up to first painted window | ${start_qmz} ms | bare Qt window ${start_bare_qt} ms; bare X11 window ${start_bare_x11} ms | ${start_ratio} of bare Qt | <= 1.05 ($(met "$start_ratio" 1.05 max)) |
| peak memory at first paint (max RSS) | ${memory_qmz} MiB | bare Qt window ${memory_bare_qt} MiB; bare X11 window ${memory_bare_x11} MiB | ${memory_ratio} of bare Qt | <= 1.05 ($(met "$memory_ratio" 1.05 max)) |
$(derive_row PageLink "page link")
$(derive_row WwwPageLink "www page link")
$(derive_row NonLink/0 "non-link of 0 characters")
$(derive_row NonLink/30 "non-link of 30 characters")
$(derive_row NonLink/34 "non-link of 34 characters, 25 like a www page link")
$(derive_row NonLink/1000000 "non-link of 1,000,000 characters")
$(derive_row Utf8PageLink "page link, from UTF-8 into a buffer (qmz-link)")
$(derive_row Utf8NonLink "non-link of 34 bytes, 25 like a www page link, from UTF-8 (qmz-link)")
| Download, click to stand-in handler started and recorded | $(printf '%.1f' "$started") ms | the same handler started directly $(printf '%.1f' "$direct") ms; the click itself held the window $(printf '%.2f' "$click") ms | $(ratio "$started" "$direct") of direct | |
| Get Link while the handler sleeps (3 s) | $(printf '%.2f' "$answer") ms | handler still asleep in ${asleep} of ${runs} | | |
${long_text_rows}
| qmz.exe, static and stripped | ${exe_bytes} bytes | bare static Win32 window ${bare_exe_bytes} bytes | $(ratio "$exe_bytes" "$bare_exe_bytes")x the bare window | <= 153,600 bytes ($(met "$exe_bytes" 153600 max)) |
$(cat "$work/qmz-link-rows.txt")
TABLE
