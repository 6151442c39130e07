#!/bin/sh
# Checks an installed tree: exactly the expected files, with the given DOCUMENTS under share/doc/qmz,
# runnable programs that answer before any window, sharp icons, a desktop entry and metadata that
# point at what was installed and that their validators pass, and a window that the entry names.
# Given a BUILD_DIR, installs it into a fresh PREFIX first, as a user would with cmake --install,
# and checks that the programs are the built ones and the documents the source's, as they are.
# Usage: check_installed_tree.sh PREFIX APP_ID SOURCE_DIR "DOCUMENT..." [BUILD_DIR], with DISPLAY on an X server of ours.
set -eu
prefix=$1 id=$2 source=$3 documents=$4 build=${5:-}
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ -n "$build" ]; then
    { rm -rf "$prefix" && cmake --install "$build" --prefix "$prefix" >/dev/null; } || fail "cmake --install into $prefix failed"
    for file in qmz qmz-link; do cmp "$build/$file" "$prefix/bin/$file" || fail "the installed $file is not the built one"; done
    for file in $documents; do cmp "$source/$file" "$prefix/share/doc/qmz/$file" || fail "the installed $file is not the source's"; done
fi

sizes="16 24 32 48 64 128 256"
expected=$(printf '%s\n' bin/qmz bin/qmz-link "share/applications/$id.desktop" $(for file in $documents; do echo "share/doc/qmz/$file"; done) \
    $(for size in $sizes; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done) \
    share/man/man1/qmz-link.1.gz share/man/man1/qmz.1.gz "share/metainfo/$id.metainfo.xml" | LC_ALL=C sort)
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
echo "Installed tree:"
echo "$actual" | sed 's/^/  /'
[ "$actual" = "$expected" ] || fail "the installed files differ from: $(echo "$expected" | tr '\n' ' ')"

# Both programs answer -v as --version, GNU's way (their manual pages are held to both by a test).
for program in qmz qmz-link; do
    version=$(env -u DISPLAY "$prefix/bin/$program" -v 2>&1) || true
    [ "$version" = "$(env -u DISPLAY "$prefix/bin/$program" --version)" ] && [ "$(echo "$version" | head -n1)" = "$program 1.00" ] ||
        fail "$program -v or --version says: $version"
done

entry=$prefix/share/applications/$id.desktop
value() { sed -n "s/^$1=//p" "$entry"; }
# desktop-file-validate exits with 0 on warnings; they count as failures here.
validated=$(desktop-file-validate "$entry" 2>&1) && ! echo "$validated" | grep -qE 'error:|warning:' ||
    fail "desktop-file-validate: $validated"
[ "$(value Exec)" = "qmz" ] || fail "Exec=$(value Exec), not the installed program"
[ -x "$prefix/bin/$(value TryExec)" ] || fail "TryExec=$(value TryExec) is not in bin/"
# The entry's Icon= names the installed icons (the list above holds them under the app id): each as
# big as its folder says, and sharp, as a smoothed scale adds colours to the drawings' 9.
for size in $sizes; do
    facts=$(identify -format '%w %h %k' "$prefix/share/icons/hicolor/${size}x$size/apps/$(value Icon).png") || true
    [ "$facts" = "$size $size 9" ] || fail "the ${size}x$size icon for Icon= is \"$facts\" (width, height, colours)"
done

metainfo=$prefix/share/metainfo/$id.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate --pedantic finds fault with $metainfo"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metadata does not launch $id.desktop"
# The screenshot is the project's own picture, published under the project's address.
screenshot=$(sed -n 's|.*<image type="source"[^>]*>[^<]*/\(docs/[^<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$screenshot" ] && [ -f "$source/$screenshot" ] || fail "the metadata names no screenshot in docs/ of the source tree"

# The window as the desktop sees it: its X11 class is what the entry tells a dock to match (the
# Wayland app id, the entry's name, is the journeys' to check).
"$prefix/bin/qmz" &
trap 'kill $! 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --pid $! | head -n1)
class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\(.*\)"$/\1/p')
[ -n "$class" ] && [ "$class" = "$(value StartupWMClass)" ] || fail "the window's class \"$class\" is not the entry's StartupWMClass"
echo "OK"
