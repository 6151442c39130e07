#!/bin/sh
# Checks an installed tree: exactly the expected files, runnable programs that answer before any
# window, manual pages made from their --help, and a desktop entry and metadata that point at what
# was installed.
# Usage: check_installed_tree.sh PREFIX APP_ID SOURCE_DIR
set -eu
prefix=$1 id=$2 source=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$(cat <<LIST
bin/qmz
bin/qmz-link
share/applications/$id.desktop
share/doc/qmz/changelog.gz
share/doc/qmz/copyright
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/man/man1/qmz-link.1.gz
share/man/man1/qmz.1.gz
share/metainfo/$id.metainfo.xml
LIST
)
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
echo "Installed tree:"
echo "$actual" | sed 's/^/  /'
[ "$actual" = "$(echo "$expected" | LC_ALL=C sort)" ] || fail "the installed files differ from: $(echo "$expected" | tr '\n' ' ')"

[ "$("$prefix/bin/qmz-link" --version)" = "qmz-link 1.00" ] || fail "the installed qmz-link does not run"
for program in qmz qmz-link; do
    zcat "$prefix/share/man/man1/$program.1.gz" | grep -qF '\-\-version' || fail "$program(1) is not its --help"
done

# qmz without any display: its command line answers, and no display is one line, not Qt's abort.
qmz_says() {  # STATUS OUTPUT [VARIABLE=VALUE...] [ARGUMENT...]
    want="$1 $2"; shift 2
    status=0
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
               "$@" 2>&1 </dev/null) || status=$?
    [ "$status $said" = "$want" ] || fail "qmz $*: status $status, said: $said"
}
qmz_says 0 "qmz 1.00" "$prefix/bin/qmz" --version
qmz_says 2 "qmz: Unknown option 'bogus'.
Try 'qmz --help' for more information." "$prefix/bin/qmz" --bogus
no_window=": no window can be shown"
qmz_says 1 "qmz: cannot open an X display (DISPLAY is not set) nor a Wayland display (WAYLAND_DISPLAY is not set)$no_window" \
         "$prefix/bin/qmz"

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
screenshot=$(sed -n 's|.*<image type="source"[^>]*>[^<]*/\(docs/[^<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$screenshot" ] && [ -f "$source/$screenshot" ] || fail "the metadata names no screenshot in docs/ of the source tree"
echo "OK"
