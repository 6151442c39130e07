# The Qt face on X11 (sourced by journeys.sh): the program on the current X display, driven through
# xdotool and the clipboard (xclip). The display runs no window manager, so there is no close
# button to click: closing is a journey of the faces that draw their own frames. It runs from a folder whose
# name is Latin-1, not UTF-8, as an old folder is: a folder is bytes.

face_start() {
    program_folder=$work/$'caf\xe9 tools'
    mkdir "$program_folder"
    cp "$program" "$program_folder/qmz"
    "$program_folder/qmz" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^QMZ$' | head -n1)
    [ -n "$window" ] || fail "no window appeared"
    xdotool windowfocus --sync "$window"
}
face_stop() { kill "${pid:-}" "${clipboard:-}" 2>/dev/null || true; }

face_click() {
    local x y
    read -r x y <<<"$(place "$1")"
    xdotool mousemove --window "$window" "$x" "$y" click 1
}
face_key() { xdotool key --clearmodifiers "$@"; }

# offer FILE: puts the file's contents on the clipboard, owned by an xclip of ours until somebody
# else copies; waits until the clipboard gives them.
offer() {
    local offered=$1
    kill "${clipboard:-}" 2>/dev/null || true
    xclip -selection clipboard -quiet <"$offered" >/dev/null 2>&1 &
    clipboard=$!
    wait_until eval 'xclip -selection clipboard -o 2>/dev/null | cmp -s - "$offered"' || fail "xclip did not take the clipboard"
}
face_paste() {
    offer "$1"
    face_click Text1
    face_key ctrl+a ctrl+v
}

# face_read_box OUT: the box's whole text, copied out through the clipboard. A mark typed at its end
# makes every copy a real one, so that an empty box is told from a slow one; it is taken off again.
# A click that comes while the window still handles a key press may not reach the box (seen under
# Wine): the copy is tried three times before the window counts as not answering. An attempt that
# was only slow leaves its mark too, so every mark at the end is taken off (no journey's text ends
# with one).
face_read_box() {
    printf 'mark' >"$work/mark"
    for _ in 1 2 3; do
        offer "$work/mark"
        face_click Text1
        face_key End numbersign ctrl+a ctrl+c
        patience=5 wait_until eval '! kill -0 "$clipboard" 2>/dev/null' && break
    done
    kill -0 "$clipboard" 2>/dev/null && fail "the window took no copy: it does not answer"
    xclip -selection clipboard -o >"$1.copied"
    local marks=0
    while [ "$marks" -lt 3 ] && [ "$(tail -c $((marks + 1)) "$1.copied" | head -c 1)" = "#" ]; do
        marks=$((marks + 1))
    done
    [ "$marks" -gt 0 ] || fail "the copy lacks the mark"
    head -c -"$marks" "$1.copied" >"$1"
    # shellcheck disable=SC2046
    face_key End $(yes BackSpace | head -n "$marks")
}

# face_message_box TEXT: waits for a message box over the window that says TEXT, and closes it.
face_message_box() {
    local box
    wait_until eval '[ "$(xdotool search --onlyvisible --name "^QMZ\$" | grep -vx "$window" | head -n1)" ]' ||
        fail "no message box appeared"
    box=$(xdotool search --onlyvisible --name '^QMZ$' | grep -vx "$window" | head -n1)
    xdotool windowfocus --sync "$box" key Return
    wait_until eval '! xdotool search --onlyvisible --name "^QMZ\$" | grep -qvx "$window"' || fail "the message box stays"
    xdotool windowfocus --sync "$window"
}

