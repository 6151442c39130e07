# The Qt face on Wayland (sourced by journeys.sh, run under dbus-run-session and
# scripts/with-xvfb.sh): Weston's X11 backend shows its output as a window at the top left of the X
# display, and xdotool clicks and types into that window, so that every click and key reaches the
# program through the compositor's seat, as a user's would. Pastes come from the compositor's
# clipboard (wl-copy); the window is read through AT-SPI, as on X11. Weston's protocol log tells
# the window's app id.
# shellcheck source=face_x11.sh
source "$here/face_x11.sh"
clipboard_owner=(wl-copy --foreground)

face_start() {
    enable_screen_reader
    export WAYLAND_DISPLAY=qmz-journeys-$$
    # A configuration of the run's own, which starts no on-screen keyboard: Weston's own would
    # come up over the window whenever the box takes the focus, and take the clicks meant for it.
    printf '[input-method]\npath=\n' >"$work/weston.ini"
    weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --debug --socket="$WAYLAND_DISPLAY" --idle-time=0 \
           --width=640 --height=480 >"$work/weston.log" 2>&1 &
    step="start the compositor"
    wait_until test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"
    weston-debug proto >"$work/proto.log" 2>&1 &
    PATH=$handler_path QT_QPA_PLATFORM=wayland "$program" >"$work/qmz.log" 2>&1 &
    pid=$!
    step="find the window"
    # The window's client area, placed by the banner's red, where the reference picture has it.
    local left top reference_left reference_top
    patience=30 wait_until eval 'import -window root "$work/screen.png" && read -r left top < <(red_of "$work/screen.png")' ||
        fail "no window with the banner appeared"
    read_window places window >"$work/places" || fail "a screen reader finds no window"
    read -r reference_left reference_top < <(red_of "$QMZ_REFERENCE_PICTURE")
    origin_x=$((left - reference_left)) origin_y=$((top - reference_top))
    grep -q "set_app_id(\"$QMZ_APP_ID\")" "$work/proto.log" || fail "the window's app id is not $QMZ_APP_ID"
    # The pointer has to enter Weston's window from outside before Weston follows it.
    input mousemove 1000 760
}
# red_of PICTURE: "left top" of the banner's red pixels.
red_of() { convert "$1" txt:- | grep -i '#ED0F64' | awk -F'[,:]' 'NR == 1 { print $1, $2 }'; }

face_click() { input mousemove $((origin_x + $1)) $((origin_y + $2)) mousemove_relative 1 0 click 1; }
# The compositor holds the offer once a client of its own reads it back.
face_holds_offer() { wait_until eval 'timeout 5 wl-paste --no-newline 2>/dev/null | cmp -s - "$work/offered"'; }
# The window's own close button, which Qt draws in its frame on Wayland, at its top right.
face_close() {
    step="click the close button"
    face_click $(($(awk '$5 == "QMZ" { print $3 }' "$work/places") - 14)) -16
}
