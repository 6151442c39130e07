#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private virtual X server, which is stopped afterwards, and
# away from the desktop it may be started from: in a runtime folder of its own (no compositor's or
# session bus's socket of the user's), with a session bus address that leads nowhere (a command
# that needs a bus starts one, dbus-run-session), and without the variables by which a desktop
# chooses Qt's platform, theme, style or scale.
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
XDG_RUNTIME_DIR=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$displayfd" "$XDG_RUNTIME_DIR"' EXIT
export XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/no-bus"
unset WAYLAND_DISPLAY WAYLAND_SOCKET XDG_SESSION_TYPE XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME \
    QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_ENABLE_HIGHDPI_SCALING QT_AUTO_SCREEN_SCALE_FACTOR
"$@"
