# Shared by the Wayland tests (sourced): a private Weston session and ways to see into it. Sourcing
# makes a private 0700 runtime folder the current one; it goes, with all that was started, at exit.

fail() { echo "FAIL: $*" >&2; exit 1; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
cd "$runtime"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$runtime"' EXIT

# start_weston BACKEND: starts Weston with its screenshooter and protocol log allowed (--debug)
# and the pixman renderer (so that there are pixels to capture), and waits for its socket.
start_weston() {
    export XDG_RUNTIME_DIR=$runtime
    export WAYLAND_DISPLAY=qmz-test-$$
    weston --backend="$1" --use-pixman --debug --socket="$WAYLAND_DISPLAY" --idle-time=0 \
           --width=640 --height=480 >weston.log 2>&1 &
    weston=$!
    pids+=("$weston")
    for _ in $(seq 100); do
        [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
        kill -0 "$weston" 2>/dev/null || { cat weston.log; fail "weston did not start"; }
        sleep 0.1
    done
    [ -S "$runtime/$WAYLAND_DISPLAY" ] || fail "weston opened no socket"
    # The compositor's record of every request: the window's title and application id are in it.
    weston-debug proto >proto.log 2>&1 &
    pids+=($!)
    sleep 0.3
}

# start_qmz QMZ [NAME=VALUE...]: the program on Qt's wayland platform with these variables set;
# its process id in $program.
start_qmz() {
    env "${@:2}" QT_QPA_PLATFORM=wayland "$1" >qmz.log 2>&1 &
    program=$!
    pids+=("$program")
}

# wait_for_end PID: gives the process ten seconds to end, then its exit status in $status; fails
# (returns 1) when it still runs.
wait_for_end() {
    timeout 10 tail --pid="$1" -s 0.1 -f /dev/null || return 1
    status=0
    wait "$1" || status=$?
}

# find_colour PICTURE COLOUR: "left top right bottom" of the colour's pixels, or nothing.
find_colour() {
    convert "$1" txt:- | grep -i "$2" | awk -F'[,:]' '
        NR == 1 { l = r = $1; t = b = $2 }
        { if ($1 < l) l = $1; if ($1 > r) r = $1; if ($2 < t) t = $2; if ($2 > b) b = $2 }
        END { if (NR) print l, t, r, b }'
}

# screenshot OUT: the whole output as a PNG.
screenshot() {
    rm -f wayland-screenshot-*.png
    weston-screenshooter >/dev/null 2>&1 || return 1
    mv wayland-screenshot-*.png "$1" 2>/dev/null
}

# differing_pixels A B: how many pixels of two pictures of one size differ.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

banner_red='#ED0F64'  # the "7" of the banner: where the window is, found in the picture

# window_shown PICTURE: takes a screenshot; true when the window's banner is in it.
window_shown() { screenshot "$1" && [ -n "$(find_colour "$1" "$banner_red")" ]; }

# wait_for_window OUT: waits until the window's banner shows, keeps that picture.
wait_for_window() {
    for _ in $(seq 60); do
        kill -0 "$program" 2>/dev/null || { cat qmz.log; fail "qmz ended before its window was seen"; }
        window_shown "$1" && return 0
        sleep 0.3
    done
    cat qmz.log weston.log
    fail "no window with the banner appeared on the Wayland output"
}

# window_origin PICTURE REFERENCE: "left top" of the window's client area on the output, placing
# the banner's red where the reference picture of the window has it.
window_origin() {
    local sl st rl rt
    read -r sl st _ _ <<<"$(find_colour "$1" "$banner_red")"
    read -r rl rt _ _ <<<"$(find_colour "$2" "$banner_red")"
    echo "$((sl - rl)) $((st - rt))"
}
