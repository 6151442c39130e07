#!/bin/sh
# Builds the sources once more, copied into another folder and configured alike, packs both builds
# and checks that the programs and the packages are the same bytes. The first build is packed as
# a user packs it, taking SOURCE_DATE_EPOCH from the last commit unless the caller gives one; the
# copy, no repository, is given that time. Only what ships is built the second time.
# Usage: check_reproducible.sh SOURCE_DIR BUILD_DIR SCRATCH_DIR PRESET PROGRAM... -- CMAKE_OPTION...
# PROGRAMs are named relative to the build folder.
set -eu
source=$1 build=$2 scratch=$3 preset=$4
shift 4
programs=
while [ "$1" != "--" ]; do programs="$programs $1"; shift; done
shift
fail() { echo "FAIL: $*" >&2; exit 1; }

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}
rm -rf "$scratch"
mkdir -p "$scratch/elsewhere" "$scratch/first" "$scratch/second"
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/elsewhere" -xf -
second=$scratch/elsewhere/build/$preset
{ cmake -S "$scratch/elsewhere" --preset "$preset" -DBUILD_TESTING=OFF "$@" && cmake --build "$second" &&
  cpack --config "$build/CPackConfig.cmake" -B "$scratch/first" && SOURCE_DATE_EPOCH=$epoch cpack --config "$second/CPackConfig.cmake" -B "$scratch/second"
} >"$scratch/log" 2>&1 || { cat "$scratch/log"; fail "the second build or packing failed"; }

echo "SOURCE_DATE_EPOCH=$epoch; the first build is $build, the second $second"
packages=$(cd "$scratch/first" && ls ./*.deb ./*.ddeb ./*.zip 2>/dev/null || true)
[ -n "$packages" ] || fail "cpack made no package"
for file in $programs $packages; do
    case $file in ./*) first=$scratch/first/$file next=$scratch/second/$file ;; *) first=$build/$file next=$second/$file ;; esac
    sha256sum "$first" "$next" | sed "s|$scratch/||"
    cmp "$first" "$next" || fail "$file differs between the two builds"
done
echo "OK"
