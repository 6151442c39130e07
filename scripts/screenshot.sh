#!/usr/bin/env bash
# Starts a program on the current X display, waits for its window titled "QMZ" and saves that
# window as a PNG. Usage: scripts/screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail
program=$1
output=$2

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
sleep 0.5  # let the first paint finish
mkdir -p "$(dirname "$output")"
import -window "$window" -strip "$output"
