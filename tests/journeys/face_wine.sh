# The Win32 face under Wine (sourced by journeys.sh, run through scripts/wine-run.sh --host): qmz.exe
# on the private X display, clicked and typed into by xdotool, pasted into from the clipboard that
# Wine shares with X (offered by xclip), read by qmz_screen_reader.exe in the same Wine prefix. Wine's
# shell hands links to the host's xdg-open, here the stand-in, in the state Wine gives it.
# shellcheck source=face_x11.sh
source "$here/face_x11.sh"
face_reader=(wine "$reader")

face_start() {
    # Started from another folder: the handler's working folder must be the program's.
    (cd "$work" && exec wine "$program") &
    pid=$!
    find_window 60
}
# Wine's clipboard takes an X program's text a moment after that program takes the X clipboard, and
# keeps its LFs as Windows does, as CRLFs.
face_holds_offer() { wait_until eval 'read_window clipboard | tr -d "\r" | cmp -s - <(tr -d "\r" <"$work/offered")'; }
# Another program holds the clipboard as the paste comes, as a clipboard manager may: the paste
# waits for it.
face_paste() {
    read_window hold >"$work/held" &
    local holder=$!
    wait_until grep -q held "$work/held" || fail "the clipboard cannot be held"
    keys ctrl+a ctrl+v
    wait "$holder" || fail "the clipboard was not let go"
}
face_close() { input key alt+F4; }
