#!/usr/bin/env bash
# Builds QMZ with every test preset and runs all its tests. Installs what is missing first.
# Exits non-zero when any configure, build or test step fails.
set -uo pipefail
cd "$(dirname "$0")/.."

packages=$(cat scripts/*-packages.txt | sed -e 's/#.*//' | xargs)
# shellcheck disable=SC2086
scripts/packages.sh $packages || exit 1

presets=$(cmake --list-presets=test | sed -n 's/^ *"\([^"]*\)".*/\1/p')
[ -n "$presets" ] || { echo "no test presets found" >&2; exit 1; }

failed=()
for preset in $presets; do
    echo "=== $preset"
    if cmake --preset "$preset" && cmake --build --preset "$preset" && ctest --preset "$preset"; then
        echo "=== $preset: passed"
    else
        echo "=== $preset: FAILED"
        failed+=("$preset")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed presets: ${failed[*]}"
    exit 1
fi
echo "All presets passed: $(echo $presets)"
