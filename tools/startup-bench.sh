#!/usr/bin/env bash
# Measures the real game's start-up under Xvfb: each run starts a fresh Xvfb and the game with a
# fresh config folder, then prints per run and as medians:
#   splash   exec -> the splash window mapped and viewable
#   main     exec -> the main window mapped and viewable
#   click    a click on a stone -> the screen shows it (its first highlight frame, so this holds
#            up to one highlight tick of 150 ms)
#   rss      VmRSS once started (after one move), peak VmHWM beside it
#   idle     CPU (utime + stime) over IDLE_SECONDS (default 30 s) with nothing selected
#   pulsing  the same with a stone selected, its highlight cycling
#   quit     Quit chosen in the menu -> the process has ended
# Windows are found by polling `xdotool search --onlyvisible` every 10 ms; the script first
# measures what one such call costs, which bounds how late a time can be.
# Not part of the test run. Run it by hand (build as in tools/screenshots.sh):
#
#   tools/startup-bench.sh [BUILD_DIR] [RUNS] [en|de]     # defaults: build, 5, en
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"
trap e2e_finish EXIT
trap 'exit 130' INT TERM

BUILD_DIR=${1:-build}
RUNS=${2:-5}
LANGUAGE_NOW=${3:-en}
IDLE_SECONDS=${IDLE_SECONDS:-30}
POLL_SECONDS=0.01
CLOCK_TICKS=$(getconf CLK_TCK)

now() { NOW=${EPOCHREALTIME//[!0-9]/}; }
ms_since() { echo $(( (NOW - $1) / 1000 )); }

# Polls until a visible game window other than EXCLUDED shows; sets FOUND and FOUND_US (the start
# of the call that saw it). Fails after 15 s or when the game has ended.
poll_window() {
    local excluded=${1:-} deadline id
    now; deadline=$((NOW + 15000000))
    while [ "$NOW" -lt "$deadline" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; do
        FOUND_US=$NOW
        for id in $(xdotool search --onlyvisible --classname '^quorvel$' 2>/dev/null); do
            [ "$id" = "$excluded" ] || { FOUND=$id; return 0; }
        done
        e2e_pause "$POLL_SECONDS"
        now
    done
    return 1
}

cpu_ticks() {
    local line fields
    read -r line < "/proc/$1/stat" || return 1
    read -r -a fields <<< "${line##*) }"
    echo $(( fields[11] + fields[12] ))
}

# CPU use of the game over IDLE_SECONDS, in hundredths of a percent of one core.
idle_cpu() {
    local before after
    before=$(cpu_ticks "$E2E_GAME_PID") || return 1
    e2e_pause "$IDLE_SECONDS"
    after=$(cpu_ticks "$E2E_GAME_PID") || return 1
    echo $(( (after - before) * 10000 / (CLOCK_TICKS * IDLE_SECONDS) ))
}

memory_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

field_hash() { e2e_x import -window root -crop "${E2E_FIELD}x${E2E_FIELD}+$1+$2" -depth 8 rgb:- | md5sum; }

# Sets BOARD to the board's cells and MOVE to "FROM TO" for the main window MAIN.
read_board() {
    read -r X0 Y0 < <(e2e_board_origin "$MAIN")
    e2e_screenshot "$WORK/board.png" && BOARD=$(e2e_board_cells "$WORK/board.png" "$X0" "$Y0") &&
        MOVE=$(e2e_choose_move "$BOARD" 0)
}

# Clicks the stone at field FROM and waits up to 2 s for its picture to change; sets CLICK_MS.
click_answer() {
    local x y before clicked
    read -r x y < <(e2e_field_centre "$X0" "$Y0" "$1")
    before=$(field_hash $((x - E2E_FIELD / 2)) $((y - E2E_FIELD / 2)))
    now; clicked=$NOW
    e2e_click "$x" "$y"
    CLICK_MS=timeout
    while now; [ $(( NOW - clicked )) -lt 2000000 ]; do
        [ "$(field_hash $((x - E2E_FIELD / 2)) $((y - E2E_FIELD / 2)))" = "$before" ] || { CLICK_MS=$(ms_since "$clicked"); return 0; }
    done
    return 1
}

# CPU time of this script's ended children, in clock ticks.
children_ticks() {
    local line fields
    read -r line < "/proc/$$/stat"
    read -r -a fields <<< "${line##*) }"
    echo $(( fields[13] + fields[14] ))
}

measure_overhead() {
    local start ticks
    e2e_start_xvfb
    ticks=$(children_ticks)
    now; start=$NOW
    for _ in $(seq 20); do xdotool search --onlyvisible --classname '^quorvel$' >/dev/null 2>&1; done
    now; ticks=$(( $(children_ticks) - ticks ))
    echo "one 'xdotool search --onlyvisible' call: $(( (NOW - start) / 20000 )) ms wall," \
        "$(( ticks * 1000 / CLOCK_TICKS / 20 )) ms CPU (exec + X connection);" \
        "a poll every ${POLL_SECONDS} s comes every ~$(( 10 + (NOW - start) / 20000 )) ms, so a time is late by up to that"
    now; start=$NOW
    for _ in $(seq 5); do field_hash 0 0 >/dev/null; done
    now; echo "one 'import' of a field (click check): $(( (NOW - start) / 5000 )) ms"
    e2e_cleanup
}

one_run() {
    local run=$1 splash_ms main_ms rss hwm idle pulsing quit_ms quit_start from to
    WORK=$(e2e_temp_dir)
    e2e_start_xvfb
    e2e_start_game "$GAME_DIR" "$LANGUAGE_NOW" "$WORK/game.log"
    poll_window || { echo "run $run: no splash window"; return 1; }
    SPLASH=$FOUND; splash_ms=$(( (FOUND_US - E2E_GAME_START_US) / 1000 ))
    poll_window "$SPLASH" || { echo "run $run: no main window"; return 1; }
    MAIN=$FOUND; main_ms=$(( (FOUND_US - E2E_GAME_START_US) / 1000 ))
    read_board || { echo "run $run: board not readable"; return 1; }
    read -r from to <<< "$MOVE"
    click_answer "$from" || echo "run $run: the click on field $from changed nothing within 2 s"
    e2e_click_field "$X0" "$Y0" "$to"
    e2e_pause 2
    kill -0 "$E2E_GAME_PID" 2>/dev/null || { echo "run $run: the game ended after the first move"; return 1; }
    rss=$(memory_kb "$E2E_GAME_PID" VmRSS); hwm=$(memory_kb "$E2E_GAME_PID" VmHWM)
    idle=$(idle_cpu) || idle=-1
    read_board && read -r from to <<< "$MOVE" && e2e_click_field "$X0" "$Y0" "$from"
    pulsing=$(idle_cpu) || { echo "run $run: the game ended while idle"; return 1; }
    e2e_keys "$MAIN" ctrl+g Up
    now; quit_start=$NOW
    e2e_x xdotool key Return
    if e2e_stop_game 10; then now; quit_ms=$(ms_since "$quit_start"); else quit_ms=-1; fi
    printf '%-4s %9s %7s %8s %9s %9s %8s %9s %7s\n' "$run" "$splash_ms" "$main_ms" "$CLICK_MS" \
        "$((rss / 1024))" "$((hwm / 1024))" "$(percent "$idle")" "$(percent "$pulsing")" "$quit_ms"
    echo "$splash_ms $main_ms $CLICK_MS $rss $hwm $idle $pulsing $quit_ms" >> "$RESULTS"
}

percent() { [ "$1" -ge 0 ] && printf '%d.%02d' $(( $1 / 100 )) $(( $1 % 100 )) || echo "-"; }

# Median of column N of the results (numbers only).
median() {
    awk -v n="$1" '$n ~ /^[0-9]+$/ { print $n }' "$RESULTS" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) print -1; else if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# "met" when VALUE is known and at most MAX.
verdict() { if [ "$1" -ge 0 ] && [ "$1" -le "$2" ]; then echo "met"; else echo "MISSED"; fi; }

summary() {
    local splash main click rss hwm idle pulsing quit
    splash=$(median 1); main=$(median 2); click=$(median 3); rss=$(median 4); hwm=$(median 5)
    idle=$(median 6); pulsing=$(median 7); quit=$(median 8)
    printf '%-4s %9s %7s %8s %9s %9s %8s %9s %7s\n' median "$splash" "$main" "$click" \
        "$((rss / 1024))" "$((hwm / 1024))" "$(percent "$idle")" "$(percent "$pulsing")" "$quit"
    echo
    echo "goal: splash within 200 ms            median $splash ms: $(verdict "$splash" 200)"
    echo "goal: main window within 2300 ms      median $main ms: $(verdict "$main" 2300)"
    echo "goal: under 80 MB resident            median $((rss / 1024)) MB: $(verdict "$rss" $((80 * 1024 - 1)))"
    echo "goal: under 1% of one core when idle  median $(percent "$idle")% (pulsing $(percent "$pulsing")%): $(verdict "$idle" 99)"
}

GAME_DIR=$(e2e_game_dir "$BUILD_DIR") || exit 1
e2e_locale "$LANGUAGE_NOW" >/dev/null || exit 1
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || e2e_fail "RUNS must be a positive number"
RESULTS="$E2E_ROOT/results"
echo "Quorvel start-up, $RUNS runs, language $LANGUAGE_NOW, $(nproc) cores, game in $GAME_DIR"
measure_overhead
printf '%-4s %9s %7s %8s %9s %9s %8s %9s %7s\n' run splash_ms main_ms click_ms rss_MB peak_MB idle_% pulsing_% quit_ms
FAILED=0
for run in $(seq 1 "$RUNS"); do
    one_run "$run" || FAILED=$((FAILED + 1))
    e2e_cleanup
done
[ -s "$RESULTS" ] || e2e_fail "no run finished"
summary
[ "$FAILED" -eq 0 ] || e2e_fail "$FAILED of $RUNS runs did not finish"
