# The Win32 face under Wine (sourced by journeys.sh, run through scripts/wine-run.sh --host): qmz.exe
# on the private X display, driven through xdotool and the clipboard, which Wine shares with X.
# Wine draws the window's frame itself; places are found inside it. Wine's shell hands links to the
# host's xdg-open, here the stand-in, in the state Wine gives it.
face_hands_off=wine

# shellcheck source=face_x11.sh
source "$here/face_x11.sh"

face_start() {
    program_folder=$(dirname "$program")
    # Started from another folder: the handler's working folder must be the program's.
    (cd "$work" && exec wine "$program") &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
    [ -n "$window" ] || fail "no window appeared"
    xdotool windowfocus --sync "$window"
    local WIDTH HEIGHT client_width client_height
    eval "$(xdotool getwindowgeometry --shell "$window")"
    read -r client_width client_height <<<"$(place Form1)"
    frame_left=$(((WIDTH - client_width) / 2))
    frame_top=$((HEIGHT - client_height - frame_left))
}

face_click() {
    local x y
    read -r x y <<<"$(place "$1")"
    # Wine takes a click where the pointer last moved to: it moves there afresh each time.
    xdotool mousemove --window "$window" 0 0 mousemove --window "$window" $((frame_left + x)) $((frame_top + y)) click 1
}

# Wine's clipboard takes another program's text a moment after that program takes the X clipboard;
# a paste that comes sooner may paste nothing: the box is read back, and the paste made again
# until the box holds the text's first line.
face_paste() {
    tr '\r' '\n' <"$1" | head -n 1 | tr -d '\n' >"$1.kept"
    for _ in 1 2 3; do
        paste_once "$1"
        face_read_box "$1.box"
        cmp -s "$1.kept" "$1.box" && return
    done
    fail "the box holds $(head -c 80 "$1.box") after three pastes, not $(head -c 80 "$1.kept")"
}

face_close() { xdotool windowfocus --sync "$window" key alt+F4; }
