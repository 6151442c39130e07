#!/bin/sh
# Configures the sources as distributions' packagers build a release: with their own flags (a
# hardened set at _FORTIFY_SOURCE=3, as several distributions use), build type None (Debian's) or
# RelWithDebInfo, and no tests. Every compile command keeps their fortification level, adds no
# other, and makes no warning an error.
# Usage: check_callers_flags.sh SOURCE_DIR SCRATCH_DIR
set -eu
source=$1 scratch=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
for type in None RelWithDebInfo; do
    rm -rf "$scratch"
    CXXFLAGS="-g -O2 -fstack-protector-strong -Wformat -Werror=format-security -D_FORTIFY_SOURCE=3" LDFLAGS="-Wl,-z,relro -Wl,-z,now" \
        cmake -S "$source" -B "$scratch" -G Ninja -DCMAKE_BUILD_TYPE=$type -DBUILD_TESTING=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        >"$scratch.log" 2>&1 || { cat "$scratch.log"; fail "the configure step failed"; }
    commands=$(sed -n 's/^ *"command": //p' "$scratch/compile_commands.json")
    [ -n "$commands" ] && ! echo "$commands" | grep -v -e '-D_FORTIFY_SOURCE=3' || fail "$type: compile commands above lack the caller's level"
    ! echo "$commands" | grep -E -e '_FORTIFY_SOURCE=[^3]|-U_FORTIFY_SOURCE|-Werror( |$)' || fail "$type: compile commands above override the caller's flags"
done
echo "OK"
