#!/usr/bin/env bash
# Shows the real game under Xvfb at scale 1, at scale 2 (QT_SCALE_FACTOR=2) and at scale 2 with
# the standard style's @2x pictures taken out (how every style looked on a 2x screen before they
# existed), and saves the splash, the board and the About window of each, plus side-by-side
# sheets of the two 2x runs. Checks that at scale 2 every empty board field equals the style's
# "empty@2x.png" pixel for pixel, and at scale 1 its "empty.png".
# Not part of the test run (three starts under Xvfb, about half a minute). Run it by hand after a
# build (as in tools/screenshots.sh):
#
#   tools/hidpi-screenshots.sh [BUILD_DIR] [OUT_DIR]     # defaults: build, /tmp/hidpi
#
# Prints each file it saves and a "problem:" line for every check that failed; the exit status is
# the number of problems.
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"
trap e2e_finish EXIT
trap 'exit 130' INT TERM

BUILD_DIR=${1:-build}
OUT_DIR=${2:-/tmp/hidpi}
E2E_SCREEN="2400x1800x24"
PROBLEMS=0
STYLE="standard highcolor.lvr"

problem() { echo "problem: $*"; PROBLEMS=$((PROBLEMS + 1)); }

# Saves window ID of the current screen as OUT_DIR/NAME.png.
window_shot() {
    local id=$1 name=$2 x y w h
    read -r x y w h < <(e2e_geometry "$id")
    if e2e_x import -window root -crop "${w}x${h}+${x}+${y}" +repage "$OUT_DIR/$name.png"; then
        echo "$OUT_DIR/$name.png"
    else
        problem "no screenshot $name"
    fi
}

# Counts the board fields of main window ID (at SCALE) that equal the picture EXPECTED exactly.
fields_equal_to() {
    local id=$1 scale=$2 expected=$3 x y w h x0 y0 field row col same=0
    read -r x y w h < <(e2e_geometry "$id")
    field=$((E2E_FIELD * scale))
    x0=$((x + E2E_BOARD_LEFT * scale)); y0=$((y + h - (E2E_CLIENT_HEIGHT - E2E_BOARD_TOP) * scale))
    e2e_screenshot "$WORK/screen.png" || return 1
    for row in 0 1 2 3 4 5 6 7 8; do
        for col in 0 1 2 3 4 5 6 7 8; do
            convert "$WORK/screen.png" -crop "${field}x${field}+$((x0 + col * field))+$((y0 + row * field))" +repage \
                -depth 8 "$WORK/field.png"
            [ "$(compare -metric AE "$WORK/field.png" "$expected" null: 2>&1)" = "0" ] && same=$((same + 1))
        done
    done
    echo "$same"
}

# One start: NAME labels the files, SCALE the QT_SCALE_FACTOR, GAME the game folder; EXPECTED is
# the empty field picture that the free fields (all but the three first stones) should equal, or
# with a leading "!" one they must not equal anywhere (the check can tell them apart).
one_start() {
    local name=$1 scale=$2 game=$3 expected=$4 splash main same
    WORK=$(e2e_temp_dir)
    e2e_start_xvfb
    QT_SCALE_FACTOR=$scale e2e_start_game "$game" en "$WORK/game.log"
    splash=$(e2e_wait_window 15 1) || { problem "$name: no splash"; e2e_cleanup; return; }
    e2e_pause 0.3
    window_shot "$splash" "$name-splash"
    main=$(e2e_wait_window 15 0 "$splash") || { problem "$name: no main window"; e2e_cleanup; return; }
    e2e_pause 1.5
    window_shot "$main" "$name-board"
    same=$(fields_equal_to "$main" "$scale" "${expected#!}")
    echo "$name: ${same:-?} of 81 fields equal $(basename "${expected#!}") pixel for pixel"
    if [[ $expected == !* ]]; then
        [ "${same:-1}" -eq 0 ] || problem "$name: fields equal $(basename "${expected#!}") without it in the style"
    else
        [ "${same:-0}" -ge 78 ] || problem "$name: only ${same:-0} of 81 fields equal $(basename "$expected")"
    fi
    e2e_keys "$main" ctrl+g Left Up Return
    local about
    about=$(e2e_wait_window 5 0 "$main") && { e2e_pause 0.5; window_shot "$about" "$name-about"; } ||
        problem "$name: no About window"
    e2e_cleanup
}

GAME_DIR=$(e2e_game_dir "$BUILD_DIR") || exit 1
mkdir -p "$OUT_DIR"
PICTURES=$(e2e_temp_dir)
unzip -q -o "$GAME_DIR/$STYLE" 'bitmaps/empty.png' 'bitmaps/empty@2x.png' -d "$PICTURES" ||
    e2e_fail "$STYLE holds no empty@2x.png"
convert "$PICTURES/bitmaps/empty.png" -depth 8 "$PICTURES/empty-1x.png"
convert "$PICTURES/bitmaps/empty@2x.png" -depth 8 "$PICTURES/empty-2x.png"

SOFT_GAME=$(e2e_temp_dir)
cp -r "$GAME_DIR/." "$SOFT_GAME"
zip -q -d "$SOFT_GAME/$STYLE" 'bitmaps/*@2x.png' || e2e_fail "cannot take the @2x pictures out of a copy of $STYLE"

one_start scale1 1 "$GAME_DIR" "$PICTURES/empty-1x.png"
one_start scale2 2 "$GAME_DIR" "$PICTURES/empty-2x.png"
one_start scale2-without-2x 2 "$SOFT_GAME" "!$PICTURES/empty-2x.png"
for part in splash board about; do
    [ -f "$OUT_DIR/scale2-without-2x-$part.png" ] && [ -f "$OUT_DIR/scale2-$part.png" ] || continue
    convert "$OUT_DIR/scale2-without-2x-$part.png" "$OUT_DIR/scale2-$part.png" -background white -splice 16x0 +append \
        "$OUT_DIR/side-by-side-$part.png" && echo "$OUT_DIR/side-by-side-$part.png"
done
exit "$PROBLEMS"
