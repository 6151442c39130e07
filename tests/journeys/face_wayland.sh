# The Qt face on Wayland (sourced by journeys.sh, run under scripts/with-xvfb.sh): Weston's X11
# backend shows its output as a window at the top left of the X display, and xdotool types and
# clicks into that window, so every key and click reaches the program through the compositor's
# seat, as a user's would. No clipboard crosses from X to Wayland: texts are typed, and the box is
# not read. The compositor's protocol log tells when it has passed input on.

face_reads_box=no

face_start() {
    export XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=qmz-journeys-$$
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=x11-backend.so --use-pixman --debug --socket="$WAYLAND_DISPLAY" --idle-time=0 \
           --width=640 --height=480 >"$work/weston.log" 2>&1 &
    compositor=$!
    wait_until test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"
    weston-debug proto >"$work/proto.log" 2>&1 &
    protocol_log=$!
    program_folder=$(dirname "$program")
    QT_QPA_PLATFORM=wayland "$program" >"$work/qmz.log" 2>&1 &
    pid=$!
    # The window's client area, placed by the banner's red, where the reference picture has it.
    wait_until eval 'import -window root "$work/screen.png" && [ -n "$(red_of "$work/screen.png")" ]' ||
        fail "no window with the banner appeared"
    local left top reference_left reference_top
    read -r left top <<<"$(red_of "$work/screen.png")"
    read -r reference_left reference_top <<<"$(red_of "$QMZ_REFERENCE_PICTURE")"
    origin_x=$((left - reference_left)) origin_y=$((top - reference_top))
    grep -q "set_app_id(\"$QMZ_APP_ID\")" "$work/proto.log" || fail "the window's app id is not $QMZ_APP_ID"
    # The pointer has to enter Weston's window from outside before Weston follows it.
    xdotool mousemove 1000 760
}
face_stop() { kill "${pid:-}" "${protocol_log:-}" "${compositor:-}" 2>/dev/null || true; }

# red_of PICTURE: "left top" of the banner's red pixels.
red_of() { convert "$1" txt:- | grep -i '#ED0F64' | awk -F'[,:]' 'NR == 1 { print $1, $2 }'; }

# Waits until the compositor has sent the program COUNT more events named like PATTERN.
passed_on() {
    local pattern=$1 before=$2 count=$3
    patience=10 wait_until eval '[ "$(grep -c -- "$pattern" "$work/proto.log")" -ge $((before + count)) ]' ||
        fail "the compositor passed no $pattern on"
}
events() { grep -c -- "$1" "$work/proto.log" || true; }

face_click() {
    local x y motions buttons
    read -r x y <<<"$(place "$1")"
    motions=$(events 'wl_pointer@[0-9]*\.motion')
    xdotool mousemove $((origin_x + x)) $((origin_y + y)) mousemove_relative 1 0
    passed_on 'wl_pointer@[0-9]*\.motion' "$motions" 1
    buttons=$(events 'wl_pointer@[0-9]*\.button')
    xdotool click 1
    passed_on 'wl_pointer@[0-9]*\.button' "$buttons" 2
}
face_key() {
    local keys
    keys=$(events 'wl_keyboard@[0-9]*\.key(')
    xdotool key --clearmodifiers "$@"
    passed_on 'wl_keyboard@[0-9]*\.key(' "$keys" $((2 * $#))
}
face_paste() {
    face_click Text1
    face_key ctrl+a BackSpace
    local keys
    keys=$(events 'wl_keyboard@[0-9]*\.key(')
    xdotool type --delay 15 "$(cat "$1")"
    passed_on 'wl_keyboard@[0-9]*\.key(' "$keys" $((2 * $(wc -m <"$1")))
}

# The window's own close button, which Qt draws in its frame on Wayland, at its top right.
face_close() {
    local width height
    read -r width height <<<"$(place Form1)"
    echo "Form1Close $((width - 14)) -16" >>"$places"
    face_click Form1Close
}
