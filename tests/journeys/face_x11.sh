# The Qt face on X11 (sourced by journeys.sh, run under dbus-run-session): the program on the
# current X display, clicked and typed into by xdotool, pasted into from the X clipboard (xclip),
# read through AT-SPI. The display runs no window manager, so there is no close button to click. It
# runs from a folder whose name is Latin-1, not UTF-8: a folder is bytes.
face_reader=("$reader") tree=qt
clipboard_owner=(xclip -selection clipboard -quiet)

# As Orca does, asks every program to speak to screen readers; the session bus starts the
# accessibility bus for that, and ends it when the session ends.
enable_screen_reader() {
    step="start the accessibility bus"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true >/dev/null
}
face_start() {
    enable_screen_reader
    program_folder=$work/$'caf\xe9 tools'
    mkdir "$program_folder"
    cp "$program" "$program_folder/qmz"
    "$program_folder/qmz" &
    pid=$!
    find_window 30 screen
}
# find_window PATIENCE PLACES_ARGUMENT...: waits for the window, reads its places and gives it the focus.
find_window() {
    step="find the window"
    patience=$1 wait_until eval 'window=$(xdotool search --onlyvisible --name "^QMZ\$" | head -n 1) && [ -n "$window" ]' ||
        fail "no window appeared"
    shift
    read_window places "$@" >"$places" || fail "a screen reader finds no window"
    input windowfocus "$window"
    wait_until eval '[ "$(xdotool getwindowfocus)" = "$window" ]' || fail "the window does not take the focus"
}
face_stop() { kill "${pid:-}" "${clipboard:-}" 2>/dev/null || true; }
face_click() { input mousemove "$1" "$2" click 1; }
face_key() { input key --clearmodifiers "$@"; }
face_paste() { keys ctrl+a ctrl+v; }
# No program of the run but xclip owns the X clipboard here, so asking it cannot block.
face_holds_offer() { wait_until eval 'timeout 5 xclip -selection clipboard -o 2>/dev/null | cmp -s - "$work/offered"'; }
