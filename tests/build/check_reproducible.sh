#!/bin/sh
# Builds what ships once more, from a copy of the sources in another folder configured alike (the
# first build's own QMZ_ options, whatever they are), packs both builds and checks that the programs
# and packages are the same bytes, and that a zip holds one folder with the program, the README and
# the licence. The first build is packed as a user packs it (or was so packed into FIRST_PACKAGES):
# SOURCE_DATE_EPOCH is the caller's, else the last commit's time; the copy is given that time.
# Usage: check_reproducible.sh SOURCE_DIR BUILD_DIR "PROGRAM..." [FIRST_PACKAGES], PROGRAMs relative to BUILD_DIR.
set -eu
source=$1 build=$2 programs=$3 scratch=$2/tests/reproducible first=${4:-$2/tests/reproducible/first}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}
second=$scratch/elsewhere/build/$(basename "$build")
rm -rf "$scratch" && mkdir -p "$scratch/elsewhere"
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/elsewhere" -xf -
sed -n 's/^\(QMZ_[A-Z0-9_]*\):\(STRING\|BOOL\|PATH\|FILEPATH\)=\(.*\)/set(\1 "\3" CACHE \2 "")/p' "$build/CMakeCache.txt" >"$scratch/options.cmake"
{ cmake -C "$scratch/options.cmake" -S "$scratch/elsewhere" --preset "$(basename "$build")" -DBUILD_TESTING=OFF && cmake --build "$second" &&
    { [ -n "${4:-}" ] || cpack --config "$build/CPackConfig.cmake" -B "$first"; } &&
    SOURCE_DATE_EPOCH=$epoch cpack --config "$second/CPackConfig.cmake" -B "$scratch/second"; } >"$scratch/log" 2>&1 ||
    { cat "$scratch/log"; echo "FAIL: the second build or the packing failed" >&2; exit 1; }
echo "SOURCE_DATE_EPOCH=$epoch; build folders $build and $second"
same() { sha256sum "$1" "$2" && cmp "$1" "$2" || { echo "FAIL: $1 differs from the second build's" >&2; exit 1; }; }
for program in $programs; do same "$build/$program" "$second/$program"; done
for package in $(cd "$first" && ls ./*.deb ./*.ddeb ./*.zip 2>/dev/null); do same "$first/$package" "$scratch/second/$package"; done
for zip in "$first"/*.zip; do
    folder=$(basename "$zip" .zip) && [ ! -f "$zip" ] || [ "$(cmake -E tar tf "$zip" | grep -v '/$' | sort | xargs)" = \
        "$folder/LICENSE.txt $folder/README.md $folder/qmz.exe" ] || { echo "FAIL: $zip holds $(cmake -E tar tf "$zip")" >&2; exit 1; }
done
