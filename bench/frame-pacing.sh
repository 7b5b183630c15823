#!/bin/sh
# Frame pacing of the real game under Xvfb (Mesa's software renderer), beside
# an empty SFML window with the same context settings in the same run.
#
#   sh bench/frame-pacing.sh [build-dir] [rounds]
#
# Runs every screen (title, menu, Infinite while aiming and during a chain
# reaction, clean mode, local war with four computer seats) and prints per
# screen: frames per second, median and 99th-percentile frame time, draw calls
# per frame, the largest resident memory seen, and the ratio of the frame rate
# to the empty window's. Set FROTHLET_BASELINE to the directory of another
# build's "frothlet" binary (with its resources/ beside it) to measure it in
# the same run, interleaved round by round, so a busy machine weighs on both
# alike. Figures only: the script never fails for being slow.
#
# Run it inside a private network namespace like the tests:
#   unshare -n sh -c 'ip link set lo up; sh bench/frame-pacing.sh build'
set -u
BUILD=$(cd "${1:-build}" && pwd)
ROUNDS=${2:-2}
HERE=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ] || [ "${FRAME_PACING_INNER:-}" != 1 ]; then
    FRAME_PACING_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh "$0" "$BUILD" "$ROUNDS"
fi

SHIM="$BUILD/libframe_counter.so"
EMPTY="$BUILD/frame_empty_window"
for f in "$SHIM" "$EMPTY" "$BUILD/frothlet"; do
    [ -e "$f" ] || { echo "missing $f (build the frothlet, frame_counter and frame_empty_window targets)" >&2; exit 0; }
done
export ALSOFT_DRIVERS=null
WORK=$(mktemp -d /tmp/frame-pacing.XXXXXX)
RESULTS="$WORK/results"
: >"$RESULTS"

now() { date +%s%N; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
hwm_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

# Measures the running program (pid $1, frame log $2) for $4 seconds as screen
# $3 of variant $VARIANT: appends "variant screen fps median p99 draws rss" rows.
measure() {
    pid=$1 log=$2 screen=$3 seconds=$4
    start=$(now)
    peak=0
    end=$((start + seconds * 1000000000))
    while [ "$(now)" -lt "$end" ]; do
        r=$(rss_kb "$pid")
        [ "${r:-0}" -gt "$peak" ] && peak=$r
        sleep 0.25
    done
    stop=$(now)
    awk -v s="$start" -v e="$stop" -v v="$VARIANT" -v name="$screen" -v rss="$peak" '
        $1 >= s && $1 <= e { if (last) { dt[n++] = ($1 - last) / 1e6; draws[m++] = $2 } last = $1; next }
        { last = ($1 < s) ? $1 : last }
        END {
            if (n < 2) { printf "%s %s 0 0 0 0 %d\n", v, name, rss / 1024; exit }
            for (i = 0; i < n; i++) sum += dt[i]
            # sort the frame times and the draw counts (insertion sort: a few thousand values)
            for (i = 1; i < n; i++) { x = dt[i]; j = i - 1; while (j >= 0 && dt[j] > x) { dt[j + 1] = dt[j]; j-- } dt[j + 1] = x }
            for (i = 1; i < m; i++) { x = draws[i]; j = i - 1; while (j >= 0 && draws[j] > x) { draws[j + 1] = draws[j]; j-- } draws[j + 1] = x }
            p99 = dt[int(0.99 * (n - 1) + 0.5)]
            printf "%s %s %.1f %.2f %.2f %d/%d %d\n", v, name, 1000 * n / sum, dt[int(n / 2)], p99, draws[int(m / 2)], draws[m - 1], rss / 1024
        }' "$log" >>"$RESULTS"
}

window_of() {
    i=0
    while [ $i -lt 100 ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
        i=$((i + 1))
    done
}

empty_window() {
    label=$1
    shift
    log="$WORK/$label.log"
    (cd "$WORK" && FROTHLET_FRAME_LOG="$log" LD_PRELOAD="$SHIM" exec "$EMPTY" 12 "$@") &
    pid=$!
    window_of "Frothlet empty window" >/dev/null
    sleep 1.5
    VARIANT=empty measure "$pid" "$log" "$label" 5
    echo "empty $label-peak-rss $(($(hwm_kb "$pid") / 1024))" >>"$RESULTS"
    wait "$pid"
}

# The windowed test settings: 1024 x 768, antialiasing 4, vsync off, auto
# pause off, effects on, the mouse.
settings() {
    printf '3\n1024\n768\n32\n4\n50\n0\n1\n0\n0\n0\n1\n1\n0\n10\n1000\n3\n3\nBench\n\n'
}

start_game() {
    dir="$WORK/game-$VARIANT-$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    ln -s "$GAMEDIR/resources" "$dir/resources"
    settings >"$dir/settings.cfg"
    GAMELOG="$dir/frames.log"
    (cd "$dir" && FROTHLET_FRAME_LOG="$GAMELOG" LD_PRELOAD="$SHIM" exec "$GAMEDIR/frothlet" >/dev/null 2>&1) &
    GAMEPID=$!
    WIN=$(window_of Frothlet)
    xdotool windowmove "$WIN" 0 0 windowfocus "$WIN" 2>/dev/null
    sleep 1
}

stop_game() {
    echo "$VARIANT $1-peak-rss $(($(hwm_kb "$GAMEPID") / 1024))" >>"$RESULTS"
    kill "$GAMEPID" 2>/dev/null
    wait "$GAMEPID" 2>/dev/null
}

click() {
    xdotool mousemove --window "$WIN" "$1" "$2" click 1
    sleep "${3:-0.25}"
}
menu_line() { click 250 $(((21 * 768 + 8 * 768 * $1) / 100 + 17)); }

enter_mode() {
    click 512 600 1.6 # title: click to start; the menu comes in
    i=0
    while [ $i -lt "$1" ]; do
        menu_line 2 # the mode item steps forward
        i=$((i + 1))
    done
    menu_line 1 # Play
    menu_line "$2"
    sleep 1.9 # the menu slides out and fades
}

play_variant() {
    # Title, menu and Infinite in one game.
    start_game front
    sleep 1
    measure "$GAMEPID" "$GAMELOG" title 4
    click 512 600 1.6
    measure "$GAMEPID" "$GAMELOG" menu 4
    menu_line 2
    menu_line 1
    menu_line 1 # Casual
    sleep 1.9
    xdotool mousemove --window "$WIN" 620 400
    sleep 0.3
    measure "$GAMEPID" "$GAMELOG" infinite-aim 3
    click 620 400 0.6 # throw into the seed-0 cloud: the chain goes off
    measure "$GAMEPID" "$GAMELOG" infinite-chain 4
    stop_game infinite

    start_game clean
    enter_mode 3 1
    xdotool mousemove --window "$WIN" 560 420
    sleep 0.3
    click 560 420 0.6
    measure "$GAMEPID" "$GAMELOG" clean 4
    stop_game clean

    start_game war
    enter_mode 4 5 # War Local; "Play" opens the input page, every seat on cpu; "Start"
    sleep 6        # Ready, Set, GO!
    measure "$GAMEPID" "$GAMELOG" war 5
    stop_game war
}

round=1
while [ "$round" -le "$ROUNDS" ]; do
    empty_window empty-aa-requested 32 4 requested
    empty_window empty-same-context 32 4
    if [ -n "${FROTHLET_BASELINE:-}" ]; then
        VARIANT=baseline GAMEDIR=$FROTHLET_BASELINE play_variant
    fi
    VARIANT=build GAMEDIR=$BUILD play_variant
    round=$((round + 1))
done

sh "$HERE/frame-pacing-report.sh" "$RESULTS"
echo "raw figures: $RESULTS"
