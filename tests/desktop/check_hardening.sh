#!/bin/sh
# The programs carry Debian's hardening as its hardening-check sees it, CET (control flow integrity)
# aside: QMZ's own objects are built with -fcf-protection and each carries the CET mark, but Debian
# 12's C start files carry none, so the linker leaves it off the programs, and the report must say
# exactly that (README, Building by hand).
# Usage: check_hardening.sh BUILD_DIR PROGRAM...
set -eu
build=$1
shift
fail() { echo "FAIL: $*" >&2; exit 1; }
hardening-check --nocfprotection "$@"
for program; do
    hardening-check "$program" | grep -qx ' Control flow integrity: no, not found!' || fail "$program: CET is not as the README says"
done
objects=$(find "$build" -path '*/CMakeFiles/*.dir/*.o' ! -path '*/googletest/*' ! -path "$build/tests/*")
[ -n "$objects" ] || fail "no objects of QMZ's own in $build"
for object in $objects; do
    readelf -n "$object" | grep -q 'x86 feature: IBT, SHSTK' || fail "$object was built without -fcf-protection"
done
