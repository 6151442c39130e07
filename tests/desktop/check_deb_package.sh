#!/bin/sh
# Builds the Debian package and its debug symbols from a build folder and checks what they hold,
# what the package depends on, and what Debian's own checker says of both.
# Usage: check_deb_package.sh BUILD_DIR OUTPUT_DIR APP_ID SOURCE_DIR
set -eu
build=$1 out=$2 id=$3 source=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out" && mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack -G DEB failed"; }
deb=$out/qmz_1.00_amd64.deb symbols=$out/qmz-dbgsym_1.00_amd64.ddeb
[ "$(ls "$out"/*deb | xargs)" = "$symbols $deb" ] || fail "cpack made $(ls "$out"/*deb), not $deb and $symbols"

# What it installs is what cmake --install does, and as sound, but for the licence and the release
# notes in Debian's forms; its programs are stripped as Debian's tools strip them.
dpkg-deb -x "$deb" "$out/root"
"$(dirname "$0")/check_installed_tree.sh" "$out/root/usr" "$id" "$source" "changelog.gz copyright" >"$out/tree.log" ||
    { cat "$out/tree.log"; fail "the package's tree"; }
for program in qmz qmz-link; do ! readelf -S "$out/root/usr/bin/$program" | grep -qE '\.(comment|debug_info)' || fail "$program is not stripped"; done

depends=$(dpkg-deb -f "$deb" Depends)
# Computed from the binaries: Qt 6 Widgets for the window, libstdc++ and libc for both programs.
# Besides: xdg-open, to which Download hands the link; Qt's Wayland plugin for a native Wayland window.
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 xdg-utils; do
    echo "$depends" | grep -q "\\b$library\\b" || fail "Depends lacks $library"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland" ] || fail "Recommends is not qt6-wayland"

# The debug symbols of each program lie under its build id, and are that program's.
dpkg-deb -x "$symbols" "$out/symbols"
for program in qmz qmz-link; do
    id=$(readelf -n "$out/root/usr/bin/$program" | sed -n 's/^ *Build ID: //p')
    debug=$out/symbols/usr/lib/debug/.build-id/$(echo "$id" | sed 's|^..|&/|').debug
    [ -n "$id" ] && [ "$(readelf -n "$debug" | sed -n 's/^ *Build ID: //p')" = "$id" ] &&
        readelf -S "$debug" 2>/dev/null | grep -q '\.debug_info' || fail "qmz-dbgsym has no debug information of $program at $debug"
done

# lintian as a maintainer runs it: any error or warning fails; info and pedantic tags are shown.
lintian --pedantic --display-info --fail-on error,warning "$deb" "$symbols" >"$out/lintian.log" 2>&1 \
    || { cat "$out/lintian.log"; fail "lintian --pedantic reports errors or warnings"; }
sed 's/^/  lintian: /' "$out/lintian.log"

# apt resolves every dependency from the archive: what apt-get install ./file.deb does, simulated.
apt-get install --simulate --no-install-recommends "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "apt-get cannot install the package"; }
grep -q '^Inst qmz ' "$out/apt.log" || { cat "$out/apt.log"; fail "apt-get would not install qmz"; }
echo "OK"
