# The Qt face on X11 (sourced by journeys.sh): the program on the current X display, clicked and
# typed into by xdotool, pasted into from the X clipboard (xclip), read through AT-SPI on a session
# bus and accessibility bus of the run's own. The display runs no window manager, so there is no
# close button to click. It runs from a folder whose name is Latin-1, not UTF-8: a folder is bytes.

face_reader=("$reader")
clipboard_owner=(xclip -selection clipboard -quiet)

# The session's bus and its accessibility bus, as a desktop session starts them; a screen reader
# then asks every program to speak to it (ScreenReaderEnabled), as Orca does.
start_accessibility_bus() {
    step="start the accessibility bus"
    dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>/dev/null &
    bus=$!
    wait_until test -s "$work/bus" || fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
    export DBUS_SESSION_BUS_ADDRESS
    setsid /usr/libexec/at-spi-bus-launcher 2>/dev/null &
    accessibility_bus=$!
    wait_until eval 'dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q true' ||
        fail "the accessibility bus did not start"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true >/dev/null
}
# Ends the buses and what runs on them (the bus launcher's process group).
stop_accessibility_bus() { kill -- "-${accessibility_bus:-0}" "${bus:-}" 2>/dev/null || true; }

face_start() {
    start_accessibility_bus
    program_folder=$work/$'caf\xe9 tools'
    mkdir "$program_folder"
    cp "$program" "$program_folder/qmz"
    "$program_folder/qmz" &
    pid=$!
    step="find the window"
    patience=30 wait_until eval 'window=$(xdotool search --onlyvisible --name "^QMZ\$" | head -n 1) && [ -n "$window" ]' ||
        fail "no window appeared"
    timeout 30 "$reader" places screen >"$places" || fail "a screen reader finds no window"
    input windowfocus "$window"
    wait_until eval '[ "$(xdotool getwindowfocus)" = "$window" ]' || fail "the window does not take the focus"
}
face_stop() { kill "${pid:-}" "${clipboard:-}" 2>/dev/null || true; stop_accessibility_bus; }

face_click() {
    input mousemove "$1" "$2" click 1
}
face_key() { input key --clearmodifiers "$@"; }
# On X11 the program is not on the clipboard's other side: xclip, which owns it, answers.
face_holds_offer() { wait_until eval 'answered 5 xclip -selection clipboard -o 2>/dev/null | cmp -s - "$offered"'; }

spoken_tree() {
    cat <<'TREE'
frame "QMZ"
  text "Video page link" description "Paste the address of a video's page here. Get Link replaces it with the address of the video file; Download opens that file in the web browser." action SetFocus
  push button "Download" action Press action SetFocus
  link "VBOX" action Press
  link "7" action Press
  label "Still ownin' ya"
  label "Quib"
  label "Hi to the crew!"
  push button "Get Link" action Press action SetFocus
TREE
}
