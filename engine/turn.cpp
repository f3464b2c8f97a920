#include "engine/spielklasse.h"

namespace {

constexpr int kStonesPerTurn = 3;
constexpr int kRegularStonesWhenCrowded = 2;
constexpr int kRegularThreshold = 48;  // rows * columns * 6 / 10 occupied fields
constexpr int kDropSound = 1;

}  // namespace

void Spielklasse::arrive(int f) {
    busy = false;
    if (check_lines(f)) return;
    int n = kStonesPerTurn;
    if (regular_mode && stone_count > kRegularThreshold) n = kRegularStonesWhenCrowded;
    n += extra_stones;
    extra_stones = 0;
    bool board_full = false;
    for (int i = 0; i < n; ++i) {
        if (stone_count >= rows * columns) {
            board_full = true;
            continue;
        }
        if (drop_stone()) break;
    }
    form->play_sound(kDropSound);
    selected = nullptr;
    if (board_full) check_game_over();
}

bool Spielklasse::check_game_over() {
    for (int slot = 1; slot <= 20; ++slot)
        if (check_lines(recent_drops[static_cast<std::size_t>(slot)])) return false;
    clear_reachable();
    // The ended board's last drops go on appearing under the game-over picture; their lines were
    // all looked for above.
    form->run_game_end();
    recent_index = 0;
    recent_drops.fill(0);
    start_new_game();
    for (int i = 0; i < 3; ++i) drop_stone();
    form->play_sound(kDropSound);
    return true;
}

// Whatever was under way, a travel or a removal, ends with the old game.
void Spielklasse::start_new_game() {
    stone_count = 0;
    selected = nullptr;
    extra_stones = 0;
    path->clear();
    removal_list.clear();
    busy = false;
    score_display->set_value(0);
    for (int f = 0; f < kFields; ++f) set_field(f, 0);
}
