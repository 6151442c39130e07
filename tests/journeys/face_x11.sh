# The Qt face on X11 (sourced by journeys.sh, run under dbus-run-session): the program on the
# current X display, clicked and typed into by xdotool, pasted into from the X clipboard (xclip),
# read through AT-SPI. The display runs no window manager, so there is no close button to click. It
# runs from a folder whose name is Latin-1, not UTF-8: a folder is bytes.
face_reader=("$reader")
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
    install -D "$program" "$program_folder/qmz"
    PATH=$handler_path "$program_folder/qmz" &
    pid=$!
    find_window 30 screen
}
# find_window PATIENCE PLACES_ARGUMENT...: waits for the window, reads its places and gives it the focus.
find_window() {
    step="find the window"
    window=$(timeout "$1" xdotool search --sync --onlyvisible --name '^QMZ$') || fail "no window appeared within $1 s"
    shift
    read_window places "$@" >"$work/places" || fail "a screen reader finds no window"
    timeout 10 xdotool windowfocus --sync "$window" || fail "the window does not take the focus"
}
# Wine takes a click where the pointer last moved to, so the pointer moves there afresh each time.
face_click() { input mousemove 0 0 mousemove "$1" "$2" click 1; }
face_paste() { keys ctrl+a ctrl+v; }
# No program of the run but xclip owns the X clipboard here, so asking it cannot block.
face_holds_offer() { wait_until eval 'timeout 5 xclip -selection clipboard -o 2>/dev/null | cmp -s - "$work/offered"'; }
