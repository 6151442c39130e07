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

# clipboard_text [SECONDS]: what the clipboard gives within SECONDS (5). An owner that drops a
# request (Wine may, for one that arrives as it loses the clipboard) makes it give nothing, never
# wait for ever.
clipboard_text() { timeout "${1:-5}" xclip -selection clipboard -o 2>/dev/null; }

# offer FILE: puts the file's contents on the clipboard, owned by an xclip of ours until somebody
# else copies; waits until the clipboard gives them. A copy that Wine makes late may take the
# clipboard straight back: then the file is offered again.
offer() {
    local offered=$1
    for _ in 1 2 3; do
        kill "${clipboard:-}" 2>/dev/null || true
        xclip -selection clipboard -quiet <"$offered" >/dev/null 2>&1 &
        clipboard=$!
        wait_until eval '! kill -0 "$clipboard" 2>/dev/null || clipboard_text | cmp -s - "$offered"' &&
            kill -0 "$clipboard" 2>/dev/null && return
    done
    fail "xclip did not take the clipboard"
}
paste_once() {
    offer "$1"
    face_click Text1
    face_key ctrl+a ctrl+v
}
face_paste() { paste_once "$1"; }

# face_read_box OUT: the box's whole text, copied out through the clipboard (clicked into first,
# unless focus_in_box=yes). A mark typed at its end, new for every try, makes every copy a real
# one and tells it from an earlier try's; every mark that reached the box is taken off again (no
# journey's text holds a "#"). A copy that does not come (Wine's clipboard may be busy taking
# another program's text) is tried again; one that comes late is waited for.
reads=0
face_read_box() {
    local out=$1 mark
    printf 'mark' >"$work/mark"
    for _ in 1 2 3; do
        mark="#$((reads += 1))"
        offer "$work/mark"
        [ "${focus_in_box:-}" = yes ] || face_click Text1
        # shellcheck disable=SC2046
        face_key End numbersign $(echo "$reads" | grep -o .) ctrl+a ctrl+c
        patience=10 wait_until eval '! kill -0 "$clipboard" 2>/dev/null' || continue
        patience=20 interval=0.5 wait_until eval 'clipboard_text 10 >"$out.copied" && [ "$(tail -c ${#mark} "$out.copied")" = "$mark" ]' && break
    done
    [ "$(tail -c ${#mark} "$out.copied" 2>/dev/null)" = "$mark" ] || fail "the window took no copy: it does not answer"
    sed -z 's/\(#[0-9]*\)*$//' "$out.copied" >"$out"
    # shellcheck disable=SC2046
    face_key End $(yes BackSpace | head -n $(($(wc -c <"$out.copied") - $(wc -c <"$out"))))
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

