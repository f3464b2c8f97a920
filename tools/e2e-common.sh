# shellcheck shell=bash
# Shared helpers of the scripts that drive the real game under Xvfb (tools/screenshots.sh,
# tools/startup-bench.sh). Source it; it defines functions and E2E_* variables only.
# Needs Xvfb, xdotool and imagemagick: tools/install-deps.sh test.
#
# There is no window manager: windows appear where the program puts them, without frames, and the
# keyboard focus falls back to the root window whenever a dialog closes, so every key press first
# gives the main window the focus again.

E2E_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
E2E_SCREEN="1024x768x24"
E2E_BOARD_LEFT=153       # client position of the board's top-left field
E2E_BOARD_TOP=96
E2E_CLIENT_HEIGHT=480    # the main window's client area below the menu bar
E2E_FIELD=40
E2E_XVFB_PID=""
E2E_GAME_PID=""
E2E_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-e2e.XXXXXX")   # every temporary folder goes here

# A sleep that forks nothing: reading a pipe that never delivers, with a time-out.
exec {E2E_PAUSE_FD}<> <(:)
e2e_pause() { read -r -t "$1" -u "$E2E_PAUSE_FD" _ || true; }

# Wall-clock time in microseconds, whatever the locale's decimal point.
e2e_now_us() { local t=$EPOCHREALTIME; echo "${t//[!0-9]/}"; }

e2e_fail() { echo "error: $*" >&2; exit 1; }

e2e_game_dir() {
    local build=$1
    [ -d "$build" ] || [[ "$build" == /* ]] || build="$E2E_REPO/$build"
    [ -x "$build/game/quorvel" ] || e2e_fail "no $build/game/quorvel; build it first:
  cmake -S $E2E_REPO -B $build -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCHMARKS=OFF && cmake --build $build -j2"
    (cd "$build/game" && pwd)
}

e2e_temp_dir() { mktemp -d "$E2E_ROOT/XXXXXX"; }

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY. -noreset keeps the
# server from resetting whenever its last client leaves: without it each xdotool call that finds
# no other client waits ~60 ms for the reset.
e2e_start_xvfb() {
    local number_file deadline
    number_file="$(e2e_temp_dir)/display"
    Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    deadline=$(( $(e2e_now_us) + 10000000 ))
    until [ -s "$number_file" ]; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start"
        [ "$(e2e_now_us)" -lt "$deadline" ] || e2e_fail "Xvfb gave no display within 10 s"
        e2e_pause 0.02
    done
    DISPLAY=":$(head -n1 "$number_file")"
    export DISPLAY
}

e2e_stop_xvfb() {
    [ -n "$E2E_XVFB_PID" ] || return 0
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
}

# The locale variables that make the game speak a language (en, de, es, da, fr, it, nl, pl, pt_BR or
# sv): German by the locale, the others by LANGUAGE, as a desktop sets it. Qt reads the language's
# name from them; the locale itself need not be generated.
e2e_locale() {
    case $1 in
        en) echo "LANG=C.UTF-8 LC_ALL=C.UTF-8" ;;
        de) echo "LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8" ;;
        es | da | fr | it | nl | pl | pt_BR | sv) echo "LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=$1" ;;
        *) e2e_fail "unknown language '$1' (en, de, es, da, fr, it, nl, pl, pt_BR or sv)" ;;
    esac
}

# Starts the game in GAME_DIR with the config folder CONFIG, or a fresh, empty one; sets
# E2E_GAME_PID and E2E_GAME_START_US, the time just before the fork.
e2e_start_game() {
    local game_dir=$1 language=$2 log=$3 config=${4:-} locale runtime
    locale=$(e2e_locale "$language") || exit 1
    read -r -a locale <<< "$locale"
    [ -n "$config" ] || config=$(e2e_temp_dir)
    runtime=$(e2e_temp_dir)
    # shellcheck disable=SC2034  # read by the scripts that source this file
    E2E_GAME_START_US=${EPOCHREALTIME//[!0-9]/}
    (cd "$game_dir" && exec env -u LANGUAGE "${locale[@]}" XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$runtime" \
        ./quorvel {E2E_PAUSE_FD}<&-) >"$log" 2>&1 &
    E2E_GAME_PID=$!
}

# Waits up to TIMEOUT seconds for the game to end by itself; then ends it. Fails when it had to.
e2e_stop_game() {
    local timeout=$1 deadline status=0
    [ -n "$E2E_GAME_PID" ] || return 0
    deadline=$(( $(e2e_now_us) + timeout * 1000000 ))
    while kill -0 "$E2E_GAME_PID" 2>/dev/null && [ "$(e2e_now_us)" -lt "$deadline" ]; do e2e_pause 0.02; done
    if kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill "$E2E_GAME_PID" 2>/dev/null || true
        e2e_pause 1
        kill -KILL "$E2E_GAME_PID" 2>/dev/null || true
        status=1
    fi
    wait "$E2E_GAME_PID" 2>/dev/null || true
    E2E_GAME_PID=""
    return "$status"
}

# Ends the game and Xvfb of this run.
e2e_cleanup() {
    if [ -n "$E2E_GAME_PID" ]; then kill -KILL "$E2E_GAME_PID" 2>/dev/null || true; wait "$E2E_GAME_PID" 2>/dev/null || true; fi
    E2E_GAME_PID=""
    e2e_stop_xvfb
}

# At exit: ends what still runs and removes the temporary folders.
e2e_finish() {
    e2e_cleanup
    rm -rf "$E2E_ROOT"
}

e2e_x() { timeout 15 "$@"; }

# Ids of the game's windows that are mapped and viewable (menus and splash included).
e2e_visible_windows() { e2e_x xdotool search --onlyvisible --classname '^quorvel$' 2>/dev/null || true; }

# Waits up to TIMEOUT seconds for a visible game window that is none of the EXCLUDED ids and,
# unless ANY_NAME is 1, not named like the application ("Linvara!": splash and menu popups).
# Prints its id.
e2e_wait_window() {
    local timeout=$1 any_name=$2; shift 2
    local deadline id
    deadline=$(( $(e2e_now_us) + timeout * 1000000 ))
    while [ "$(e2e_now_us)" -lt "$deadline" ]; do
        for id in $(e2e_visible_windows); do
            [[ " $* " == *" $id "* ]] && continue
            [ "$any_name" = 1 ] || [ "$(e2e_x xdotool getwindowname "$id")" != "Linvara!" ] || continue
            echo "$id"
            return 0
        done
        e2e_pause 0.02
    done
    return 1
}

# Waits up to TIMEOUT seconds until window ID is no longer visible.
e2e_wait_gone() {
    local timeout=$1 id=$2 deadline
    deadline=$(( $(e2e_now_us) + timeout * 1000000 ))
    while [ "$(e2e_now_us)" -lt "$deadline" ]; do
        e2e_visible_windows | grep -qx "$id" || return 0
        e2e_pause 0.02
    done
    return 1
}

# Prints "X Y WIDTH HEIGHT" of window ID on the screen.
e2e_geometry() {
    e2e_x xdotool getwindowgeometry --shell "$1" |
        awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}'
}

e2e_click() { e2e_x xdotool mousemove "$1" "$2" click 1; }

# Gives window ID the keyboard focus, then presses each key with a short pause between.
e2e_keys() {
    local id=$1 key; shift
    e2e_x xdotool windowfocus --sync "$id"
    for key in "$@"; do
        e2e_x xdotool key "$key"
        e2e_pause 0.25
    done
}

e2e_screenshot() { e2e_x import -window root "$1"; }

# Prints "X Y": the screen position of the top-left board field of main window ID.
e2e_board_origin() {
    local x y h
    read -r x y _ h < <(e2e_geometry "$1")
    echo "$(( x + E2E_BOARD_LEFT )) $(( y + h - E2E_CLIENT_HEIGHT + E2E_BOARD_TOP ))"
}

# Prints the board in screenshot SHOT with its top-left field at X Y as 81 letters, row by row:
# "." an empty field, "o" a stone. A field is empty when its centre pixel has the colour most
# centres have, and that colour must be the light grey-blue of an empty tile.
e2e_board_cells() {
    local shot=$1 x0=$2 y0=$3 format="" row col
    for row in 0 1 2 3 4 5 6 7 8; do
        for col in 0 1 2 3 4 5 6 7 8; do
            format+="%[hex:p{$(( x0 + col * E2E_FIELD + E2E_FIELD / 2 )),$(( y0 + row * E2E_FIELD + E2E_FIELD / 2 ))}] "
        done
    done
    e2e_x convert "$shot" -format "$format" info: | tr ' ' '\n' | grep . | awk '
        function hex(s,   i, v) { v = 0; for (i = 1; i <= 2; i++) v = v * 16 + index("0123456789ABCDEF", toupper(substr(s, i, 1))) - 1; return v }
        { r[NR] = hex(substr($1, 1, 2)); g[NR] = hex(substr($1, 3, 2)); b[NR] = hex(substr($1, 5, 2)); count[$1]++ }
        END {
            for (c in count) if (count[c] > best) { best = count[c]; mode = c }
            mr = hex(substr(mode, 1, 2)); mg = hex(substr(mode, 3, 2)); mb = hex(substr(mode, 5, 2))
            if (NR != 81 || mb <= mr || mr < 110 || mb > 220) { print "no board (most common centre colour #" mode ")" > "/dev/stderr"; exit 1 }
            for (i = 1; i <= 81; i++) {
                d = (r[i] > mr ? r[i] - mr : mr - r[i]) + (g[i] > mg ? g[i] - mg : mg - g[i]) + (b[i] > mb ? b[i] - mb : mb - b[i])
                line = line (d <= 24 ? "." : "o")
            }
            print line
        }'
}

# Prints "FROM TO" (field numbers 0..80): the first stone, counting from field START, that can
# travel, and the empty field farthest along a free path from it.
e2e_choose_move() {
    awk -v cells="$1" -v start="$2" 'BEGIN {
        for (k = 0; k < 81; k++) {
            from = (start + k) % 81
            if (substr(cells, from + 1, 1) != "o") continue
            split("", dist); dist[from] = 0; queue[0] = from; head = 0; tail = 1; far = -1
            while (head < tail) {
                f = queue[head++]
                for (d = 0; d < 4; d++) {
                    r = int(f / 9) + (d == 0) - (d == 1); c = f % 9 + (d == 2) - (d == 3)
                    n = r * 9 + c
                    if (r < 0 || r > 8 || c < 0 || c > 8 || (n in dist) || substr(cells, n + 1, 1) != ".") continue
                    dist[n] = dist[f] + 1; queue[tail++] = n
                    if (far < 0 || dist[n] > dist[far]) far = n
                }
            }
            if (far >= 0) { print from, far; exit 0 }
        }
        exit 1
    }'
}

# Prints "X Y": the screen position of the centre of FIELD on a board whose top-left field is at X0 Y0.
e2e_field_centre() {
    local x0=$1 y0=$2 field=$3
    echo "$(( x0 + field % 9 * E2E_FIELD + E2E_FIELD / 2 )) $(( y0 + (field / 9) * E2E_FIELD + E2E_FIELD / 2 ))"
}

e2e_click_field() {
    local x y
    read -r x y < <(e2e_field_centre "$@")
    e2e_click "$x" "$y"
}

e2e_count_stones() { local s=${1//./}; echo "${#s}"; }
