# The Win32 face under Wine (sourced by journeys.sh, run through scripts/wine-run.sh --host): qmz.exe
# on the private X display, clicked and typed into by xdotool, pasted into from the clipboard that
# Wine shares with X (xclip offers), read by qmz_screen_reader.exe in the same Wine prefix. Wine
# draws the window's frame itself. Wine's shell hands links to the host's xdg-open, here the
# stand-in, in the state Wine gives it.

# shellcheck source=face_x11.sh
source "$here/face_x11.sh"
face_reader=(wine "$reader")

face_start() {
    program_folder=$(dirname "$program")
    # Started from another folder: the handler's working folder must be the program's.
    (cd "$work" && exec wine "$program") &
    pid=$!
    step="find the window"
    patience=60 wait_until eval 'window=$(xdotool search --onlyvisible --name "^QMZ\$" | head -n 1) && [ -n "$window" ]' ||
        fail "no window appeared"
    timeout 30 wine "$reader" places >"$places" || fail "the window's controls cannot be found"
    input windowfocus "$window"
    wait_until eval '[ "$(xdotool getwindowfocus)" = "$window" ]' || fail "the window does not take the focus"
}
face_stop() { kill "${pid:-}" "${clipboard:-}" 2>/dev/null || true; }

face_click() {
    # Wine takes a click where the pointer last moved to: it moves there afresh each time.
    input mousemove 0 0 mousemove "$1" "$2" click 1
}
# Wine's clipboard takes another program's text a moment after that program takes the X
# clipboard: the paste waits until the Windows clipboard gives the text.
face_holds_offer() { answered 30 wine "$reader" clipboard <"$offered" >/dev/null; }
face_close() { input key alt+F4; }

# What Wine 8's MSAA gives: a plain client object for the window and every control but the box, named
# by its caption; the box as text with no name (Wine does not keep the window's annotations).
spoken_tree() {
    cat <<'TREE'
client "QMZ"
  text (no name) value ""
  client "Download"
  client "VBOX"
  client "7"
  client "Still ownin' ya"
  client "Quib"
  client "Hi to the crew!"
  client "Get Link"
TREE
}
