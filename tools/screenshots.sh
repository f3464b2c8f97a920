#!/usr/bin/env bash
# Starts the real game under Xvfb, once in each language, plays a few moves and saves screenshots
# for review: splash, board at start, board after moves, the Game menu, the game-over dialog, the
# difficulty menu, the Language menu, the confirmation dialog and the help window. A second
# start restores a stored game of 250 points: the autosave notice, then that game's end with the
# game-over dialog telling its place, the name entry and the highscore table, the About window and the reset question. A third shows the
# Graphic Style menu, the game in two add-on styles and the add-on chooser. A fourth plays against
# a highscore site on this machine: the highscore dialog's internet table and a posting.
# Not part of the test run (it needs Xvfb and takes about a minute). Run it by hand:
#
#   tools/install-deps.sh test
#   cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCHMARKS=OFF
#   cmake --build build -j2
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR] [LANGUAGE ...]
#       defaults: build, /tmp/screenshots, all ten languages (en de es da fr it nl pl pt_BR sv)
#
# Prints each file it saves, and a "problem:" line for every step that did not go as expected;
# the exit status is the number of problems (0: every step went through). Every wait has a
# time-out. Each language gets its own Xvfb, and a fresh config folder (XDG_CONFIG_HOME).
# shellcheck disable=SC2317  # the dialogs' close actions are called by name
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"
trap e2e_finish EXIT
trap 'exit 130' INT TERM

BUILD_DIR=${1:-build}
OUT_DIR=${2:-/tmp/screenshots}
MOVES=4
PROBLEMS=0

problem() { echo "problem: $*"; PROBLEMS=$((PROBLEMS + 1)); }

shot() {
    local file="$OUT_DIR/$1.png"
    if e2e_screenshot "$file"; then echo "$file"; else problem "no screenshot $file"; fi
}

# Waits for the splash, saves it (as SHOT_NAME) while it stands, then waits for the main window:
# sets MAIN.
start_up() {
    local splash shot_name=${1:-1-splash}
    splash=$(e2e_wait_window 15 1) || { problem "$LANGUAGE_NOW: no splash window within 15 s"; return 1; }
    e2e_pause 0.3
    shot "$LANGUAGE_NOW-$shot_name"
    [ "$(e2e_visible_windows)" = "$splash" ] || problem "$LANGUAGE_NOW: splash gone before its screenshot"
    MAIN=$(e2e_wait_window 15 0 "$splash") || { problem "$LANGUAGE_NOW: no main window within 15 s"; return 1; }
    e2e_pause 0.5
}

# One move: a stone that can travel goes to the farthest empty field it reaches.
play_move() {
    local main=$1 number=$2 x0 y0 before after from to
    read -r x0 y0 < <(e2e_board_origin "$main")
    e2e_screenshot "$WORK/board.png" || return 1
    before=$(e2e_board_cells "$WORK/board.png" "$x0" "$y0") || { problem "$LANGUAGE_NOW: board not found at $x0,$y0"; return 1; }
    read -r from to < <(e2e_choose_move "$before" $((number * 17))) || { problem "$LANGUAGE_NOW: no stone can move"; return 1; }
    e2e_click_field "$x0" "$y0" "$from"
    e2e_pause 0.3
    e2e_click_field "$x0" "$y0" "$to"
    e2e_pause 1.5
    e2e_screenshot "$WORK/board.png" || return 1
    after=$(e2e_board_cells "$WORK/board.png" "$x0" "$y0") || return 1
    echo "$LANGUAGE_NOW: move $number: field $from -> $to, stones $(e2e_count_stones "$before") -> $(e2e_count_stones "$after")"
    # A stone that dropped after the move may land on the field just left.
    if [ "${after:to:1}" != o ] ||
        { [ "${after:from:1}" != . ] && [ "$(e2e_count_stones "$after")" -ne $(( $(e2e_count_stones "$before") + 3 )) ]; }; then
        problem "$LANGUAGE_NOW: move $number did not arrive"
    fi
}

# Presses KEYS on the main window and waits for a dialog to appear: sets DIALOG.
open_dialog() {
    local main=$1; shift
    e2e_keys "$main" "$@"
    DIALOG=$(e2e_wait_window 5 0 "$main")
}

# Saves the open dialog as NAME and closes it with CLOSE_ACTION.
dialog_shot() {
    local name=$1 close_action=$2
    e2e_pause 0.5
    shot "$LANGUAGE_NOW-$name"
    "$close_action" "$DIALOG"
    e2e_wait_gone 5 "$DIALOG" || problem "$LANGUAGE_NOW: the $name dialog stayed open"
}

# Opens a dialog with KEYS, saves it as NAME and closes it with CLOSE_ACTION.
open_dialog_shot() {
    local main=$1 name=$2 close_action=$3; shift 3
    if open_dialog "$main" "$@"; then dialog_shot "$name" "$close_action"; else problem "$LANGUAGE_NOW: no $name dialog within 5 s"; fi
}

press_enter() { e2e_keys "$1" Return; }
press_escape() { e2e_keys "$1" Escape; }

# "No" is Button2, 97 x 33 at top 64, 110 pixels from the right edge of the confirmation (whose
# width follows its texts).
press_no() {
    local x y width
    read -r x y width _ < <(e2e_geometry "$1")
    e2e_click $((x + width - 110 + 48)) $((y + 64 + 16))
}

difficulty_menu_shot() {
    e2e_keys "$1" ctrl+g Right Right
    e2e_pause 0.3
    shot "$LANGUAGE_NOW-6-menu-difficulty"
    e2e_keys "$1" Escape Escape Escape
}

# The Language menu is the last entry of the Settings menu.
language_menu_shot() {
    e2e_keys "$1" ctrl+g Right Up Right
    e2e_pause 0.3
    shot "$LANGUAGE_NOW-6-menu-language"
    e2e_keys "$1" Escape Escape Escape
}

# A fresh config starts in Regular mode, so Difficult is the other mode; Regular in case it is not.
confirmation_shot() {
    local main=$1
    if open_dialog "$main" ctrl+g Right Right Down Return || open_dialog "$main" ctrl+g Right Right Return; then
        dialog_shot 7-confirm press_no
    else
        problem "$LANGUAGE_NOW: no confirmation dialog within 5 s of either difficulty"
    fi
}

quit_game() {
    local start
    e2e_keys "$1" ctrl+g Up
    start=$(e2e_now_us)
    e2e_x xdotool key Return
    if e2e_stop_game 10; then
        echo "$LANGUAGE_NOW: the game ended $(( ($(e2e_now_us) - start) / 1000 )) ms after Quit"
    else
        problem "$LANGUAGE_NOW: the game did not end within 10 s of Quit"
    fi
}

# The store's scrambling of plain ASCII: the low seven bits turn by 64.
scrambled() { printf '%s' "$1" | tr '\000-\177' '\100-\177\000-\077'; }

# A config folder whose store holds a game in progress: 250 points, a stone on every fourth field.
saved_game_config() {
    local config stones="" f line
    config=$(e2e_temp_dir)
    mkdir -p "$config/Corvatek"
    for f in $(seq 0 80); do if (( f % 4 == 1 )); then stones+=$(( f % 7 + 1 )); else stones+=0; fi; done
    local lines=("" "" 0 111 111 1 1 1 1 1 1 1 1 0 "$(printf '0%.0s' $(seq 81))" "$stones" 250 1 0 1 1)
    {
        echo "[set]"
        for line in "${!lines[@]}"; do echo "$((line + 1))=\"$(scrambled "${lines[$line]}")\""; done
    } >"$config/Corvatek/linvara.conf"
    echo "$config"
}

# "No" of the reset question is its escape button.
game_end_shots() {
    local notice
    # The game of 250 points enters the local table: the internet shots post it.
    HIGHSCORE_CONFIG=$(saved_game_config)
    e2e_start_game "$GAME_DIR" "$LANGUAGE_NOW" "$OUT_DIR/$LANGUAGE_NOW-restored-game.log" "$HIGHSCORE_CONFIG"
    if notice=$(e2e_wait_window 15 0); then
        e2e_pause 0.5
        shot "$LANGUAGE_NOW-9-autosave-notice"
        press_enter "$notice"
        e2e_wait_gone 5 "$notice" || problem "$LANGUAGE_NOW: the autosave notice stayed open"
    else
        problem "$LANGUAGE_NOW: no autosave notice within 15 s"
    fi
    start_up 9-splash-after-notice || return
    if open_dialog "$MAIN" ctrl+g n; then
        e2e_pause 0.5
        shot "$LANGUAGE_NOW-9-game-over-new-highscore"
        press_enter "$DIALOG"
        e2e_wait_gone 5 "$DIALOG"
        if DIALOG=$(e2e_wait_window 5 0 "$MAIN"); then
            e2e_x xdotool windowfocus --sync "$DIALOG" type "Zoë Weiß"
            dialog_shot 10-name-entry press_enter
            if DIALOG=$(e2e_wait_window 5 0 "$MAIN"); then dialog_shot 11-highscores press_enter; else problem "$LANGUAGE_NOW: no highscore table after the name"; fi
        else
            problem "$LANGUAGE_NOW: no name entry after a game of 250 points"
        fi
    else
        problem "$LANGUAGE_NOW: no game-over dialog"
    fi
    open_dialog_shot "$MAIN" 12-about press_enter ctrl+g Left Up Return
    open_dialog_shot "$MAIN" 13-reset-question press_escape ctrl+g Down Down Down Return
    quit_game "$MAIN"
}

# The Graphic Style menu, the game in the first two add-ons it lists, and the add-on chooser
# (shown by QUORVEL_ADDON_CHOOSER=1) with the preview of its first entry.
style_shots() {
    local x y
    QUORVEL_ADDON_CHOOSER=1 e2e_start_game "$GAME_DIR" "$LANGUAGE_NOW" "$OUT_DIR/$LANGUAGE_NOW-styles.log"
    start_up 14-splash-styles || return
    e2e_keys "$MAIN" ctrl+g Right Right
    e2e_pause 0.3
    shot "$LANGUAGE_NOW-14-menu-graphic-style"
    e2e_keys "$MAIN" Escape Escape
    # A menu opened with Right shows its first entry chosen.
    e2e_keys "$MAIN" ctrl+g Right Right Return
    e2e_pause 1
    shot "$LANGUAGE_NOW-15-first-addon"
    e2e_keys "$MAIN" ctrl+g Right Right Down Return
    e2e_pause 1
    shot "$LANGUAGE_NOW-16-second-addon"
    if open_dialog "$MAIN" ctrl+g Right Return; then
        read -r x y _ < <(e2e_geometry "$DIALOG")
        e2e_click $((x + 16 + 30)) $((y + 96 + 16 + 8))
        dialog_shot 17-addon-chooser press_escape
    else
        problem "$LANGUAGE_NOW: no add-on chooser within 5 s"
    fi
    quit_game "$MAIN"
}

# Starts a test server beside the network tests; it writes its port into PORT_FILE and runs until
# the fifo "$WORK/hold" is closed by its writer.
launch_test_server() {
    local script=$1 port_file=$2; shift 2
    /usr/bin/python3 "$(dirname "$0")/../tests/net/$script" "$@" <"$WORK/hold" >"$port_file" 2>/dev/null &
}

# The port a launched server wrote; waits up to 10 s for it.
server_port() {
    for _ in $(seq 100); do [ -s "$1" ] && break; e2e_pause 0.1; done
    head -n 1 "$1"
}

# A table of nine rows as the web site writes it, with names in UTF-8.
write_internet_page() {
    local points=(990 870 760 700 640 520 480 300 150) names=(Anja Björn Chloé Dario Emeka Fumiko Gülşen Hamid Ines)
    local places=(Oslo Malmö Lyon Napoli Lagos Kyoto İzmir Tunis Porto) i
    {
        echo "<html><body><table>"
        echo "<!-- first row -->"
        echo
        for i in $(seq 0 8); do
            printf '<TR><TD class="poi" >%s</TD><TD class="nam" >%s</TD><TD class="cou" >%s</TD></TR>\n\n\n' \
                "${points[$i]}" "${names[$i]}" "${places[$i]}"
        done
        echo "</table></body></html>"
    } >"$1/regular_hsc.html"
}

# The highscore dialog against a site on this machine: before a fetch, with the internet table after
# one (Tab from OK to the internet button, Space), the posting (address and place, the thanks) and after it.
internet_shots() {
    local site mail hold
    site=$(e2e_temp_dir)
    mail=$(e2e_temp_dir)
    write_internet_page "$site"
    # The game keeps what it fetched and posted in its folder; the run leaves nothing there.
    rm -f "$GAME_DIR/posted.txt" "$GAME_DIR/regular_hsc.html"
    mkfifo "$WORK/hold"
    launch_test_server page_server.py "$WORK/pages.port" --folder "$site"
    launch_test_server mail_collector.py "$WORK/mail.port" "$mail"
    exec {hold}>"$WORK/hold"
    QUORVEL_SITE="http://127.0.0.1:$(server_port "$WORK/pages.port")/site/utf-8" QUORVEL_MAIL_HOST=127.0.0.1 \
        QUORVEL_MAIL_PORT=$(server_port "$WORK/mail.port") \
        e2e_start_game "$GAME_DIR" "$LANGUAGE_NOW" "$OUT_DIR/$LANGUAGE_NOW-internet.log" "$HIGHSCORE_CONFIG"
    # The game stored at the last quit comes back with its notice first.
    local notice height
    if notice=$(e2e_wait_window 15 1); then
        read -r _ _ _ height < <(e2e_geometry "$notice")
        [ "$height" -lt 200 ] && press_enter "$notice" && e2e_wait_gone 5 "$notice"
    fi
    if start_up 18-splash-internet && open_dialog "$MAIN" ctrl+g Down Down Return; then
        local highscores=$DIALOG
        e2e_pause 0.5
        shot "$LANGUAGE_NOW-18-highscores-before-fetch"
        e2e_keys "$highscores" Tab Tab space
        e2e_pause 1
        shot "$LANGUAGE_NOW-19-internet-table"
        e2e_keys "$highscores" space
        if DIALOG=$(e2e_wait_window 5 0 "$MAIN" "$highscores"); then
            e2e_keys "$DIALOG" z o e at e x a m p l e period o r g Tab Z udiaeresis r i c h
            dialog_shot 20-posting-details press_enter
            if DIALOG=$(e2e_wait_window 10 0 "$MAIN" "$highscores"); then
                [ "$(ls "$mail")" ] || problem "$LANGUAGE_NOW: the collector holds no mail"
                dialog_shot 21-posted press_enter
                DIALOG=$highscores
                shot "$LANGUAGE_NOW-22-after-posting"
                press_enter "$highscores"
            else
                problem "$LANGUAGE_NOW: no thanks after the posting"
            fi
        else
            problem "$LANGUAGE_NOW: no posting details dialog"
        fi
    else
        problem "$LANGUAGE_NOW: no highscore dialog"
    fi
    quit_game "$MAIN"
    rm -f "$GAME_DIR/posted.txt" "$GAME_DIR/regular_hsc.html"
    exec {hold}>&-
    rm -f "$WORK/hold"
}

run_language() {
    LANGUAGE_NOW=$1
    local number
    WORK=$(e2e_temp_dir)
    e2e_start_xvfb
    e2e_start_game "$GAME_DIR" "$LANGUAGE_NOW" "$OUT_DIR/$LANGUAGE_NOW-game.log"
    start_up || { e2e_cleanup; return; }
    shot "$LANGUAGE_NOW-2-board"
    for number in $(seq 1 "$MOVES"); do play_move "$MAIN" "$number" || break; done
    shot "$LANGUAGE_NOW-3-after-moves"
    e2e_keys "$MAIN" ctrl+g
    shot "$LANGUAGE_NOW-4-menu-game"
    e2e_keys "$MAIN" Escape
    open_dialog_shot "$MAIN" 5-game-over press_enter ctrl+g n
    difficulty_menu_shot "$MAIN"
    language_menu_shot "$MAIN"
    confirmation_shot "$MAIN"
    open_dialog_shot "$MAIN" 8-help press_escape ctrl+g Left Return
    quit_game "$MAIN"
    game_end_shots
    style_shots
    internet_shots
    e2e_cleanup
}

GAME_DIR=$(e2e_game_dir "$BUILD_DIR") || exit 1
mkdir -p "$OUT_DIR"
LANGUAGES=("${@:3}")
[ "${#LANGUAGES[@]}" -gt 0 ] || LANGUAGES=(en de es da fr it nl pl pt_BR sv)
for language in "${LANGUAGES[@]}"; do run_language "$language"; done
echo "$PROBLEMS problem(s)"
exit "$PROBLEMS"
