#!/usr/bin/env bash
# Installs what is missing, builds QMZ and starts it. Without a display, QMZ runs on a virtual
# X server and a screenshot of its window is saved instead.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck disable=SC2046
scripts/packages.sh $(sed -e 's/#.*//' scripts/linux-packages.txt | xargs)
cmake --preset linux
cmake --build --preset linux

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/linux/qmz
fi
scripts/with-xvfb.sh scripts/screenshot.sh build/linux/qmz build/qmz-window.png
echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): QMZ ran on a virtual X server."
echo "Its window is saved in $(pwd)/build/qmz-window.png"
