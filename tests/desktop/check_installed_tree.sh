#!/bin/sh
# Checks an installed tree: exactly the expected files, runnable programs, and a desktop entry and
# metadata that point at what was installed.
# Usage: check_installed_tree.sh PREFIX APP_ID SOURCE_DIR
set -eu
prefix=$1 id=$2 source=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$(cat <<LIST
bin/qmz
bin/qmz-link
share/applications/$id.desktop
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/metainfo/$id.metainfo.xml
LIST
)
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
echo "Installed tree:"
echo "$actual" | sed 's/^/  /'
[ "$actual" = "$(echo "$expected" | LC_ALL=C sort)" ] || fail "the installed files differ from: $(echo "$expected" | tr '\n' ' ')"

for program in qmz qmz-link; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
[ "$("$prefix/bin/qmz-link" --version)" = "qmz-link 1.00" ] || fail "the installed qmz-link does not run"

entry=$prefix/share/applications/$id.desktop
value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(value Icon)" = "$id" ] || fail "Icon=$(value Icon), not the installed icon's name $id"
[ "$(value Exec)" = "qmz" ] || fail "Exec=$(value Exec), not the installed program"
[ -x "$prefix/bin/$(value TryExec)" ] || fail "TryExec=$(value TryExec) is not in bin/"
for size in 32 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/$(value Icon).png" ] || fail "no ${size}x$size icon for Icon="
done

metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metadata does not launch $id.desktop"
grep -q '<description>' "$metainfo" || fail "the metadata has no description"
# The screenshot is the project's own picture, published under the project's address.
screenshot=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">[^<]*/\(docs/[^<]*\)</image>.*|\1 \2 \3|p' "$metainfo")
[ -n "$screenshot" ] || fail "the metadata names no screenshot under docs/"
set -- $screenshot
[ -f "$source/$3" ] || fail "the screenshot $3 is not in the source tree"
size=$(od -An -tu1 -j16 -N8 "$source/$3" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
[ "$size" = "$1 $2" ] || fail "the metadata says $1x$2 but $3 is $size"
echo "OK"
