#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private virtual X server, which is stopped afterwards.
# Usage: scripts/with-xvfb.sh COMMAND [ARGUMENT...]
# The screen is 1024x768, or the WIDTHxHEIGHT that QMZ_XVFB_SCREEN gives.
set -euo pipefail

displayfd=$(mktemp)
Xvfb -displayfd 1 -screen 0 "${QMZ_XVFB_SCREEN:-1024x768}x24" -nolisten tcp >"$displayfd" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$displayfd"' EXIT

# Xvfb writes its display number once it accepts clients.
for _ in $(seq 100); do
    [ -s "$displayfd" ] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$displayfd" ] || { echo "Xvfb did not report its display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfd")"
unset WAYLAND_DISPLAY
# Qt and Wine want a private runtime folder; a headless root session often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$displayfd" "$XDG_RUNTIME_DIR"' EXIT
fi
"$@"
