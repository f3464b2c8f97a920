#include "engine/spielklasse.h"

#include <vector>

namespace {

constexpr int kRegularJokerOdds = 12;
constexpr int kDifficultJokerOdds = 25;
constexpr int kRingSlots = 20;
constexpr int kFirstAppearanceOffset = 48;  // code + 48 shows appearance frame "0000"

bool last_appearance_frame(int code) { return code >= 81; }

}  // namespace

bool Spielklasse::drop_stone() {
    stone_count = count_stones();
    seed_random();
    if (stone_count >= rows * columns - 1) return check_game_over();
    int f = 0;
    do {
        f = random->next() % kFields;
    } while (field(f).color != 0);
    ++stone_count;
    const int code = next_colors[static_cast<std::size_t>(next_slot)];
    if (code == kSpecialStone && would_complete_line(f)) f = joker_field_avoiding_line(f);
    place_stone(f, code);
    refill_slot();
    return false;
}

// A joker that would complete a line where it was drawn would score for nothing the player did;
// it goes to a random empty field where it completes nothing, if there is one.
int Spielklasse::joker_field_avoiding_line(int drawn) {
    std::vector<int> harmless;
    for (int f = 0; f < kFields; ++f)
        if (f != drawn && field(f).color == 0 && !would_complete_line(f)) harmless.push_back(f);
    if (harmless.empty()) return drawn;
    return harmless[static_cast<std::size_t>(random->next()) % harmless.size()];
}

void Spielklasse::refill_slot() {
    int odds = regular_mode ? kRegularJokerOdds : kDifficultJokerOdds;
    for (const TMyImage& slot : preview_images)
        if (slot.joker_type != kNoSpecial) odds = 0;
    const int r = odds == 0 ? 0 : random->next() % odds;
    if (r == odds - 1)
        set_next(kSpecialStone, choose_special_kind());
    else
        set_next(random->next() % 7 + 1, kNoSpecial);
}

void Spielklasse::place_stone(int f, int code) {
    recent_index = recent_index == kRingSlots ? 1 : recent_index + 1;
    recent_drops[static_cast<std::size_t>(recent_index)] = f;
    field(f).joker_type = preview_images[static_cast<std::size_t>(next_slot)].joker_type;
    set_field(f, code + kFirstAppearanceOffset);
    check_lines(f);
}

// The supply deals only jokers; dynamite and question stones come from a restored game.
int Spielklasse::choose_special_kind() { return kJoker; }

void Spielklasse::animate_appearing() {
    for (int slot = 1; slot <= kRingSlots; ++slot) {
        int& entry = recent_drops[static_cast<std::size_t>(slot)];
        if (entry == 0) continue;
        if (being_removed(entry)) {
            entry = 0;  // the stone completed a line while appearing; its removal takes over
            continue;
        }
        const int f = entry;
        const int code = field(f).color;
        if (!is_appearing_code(code)) continue;
        if (!last_appearance_frame(code)) {
            set_field(f, code + 8);
            continue;
        }
        set_field(f, rest_code(code));
        entry = 0;
        check_lines(f);
    }
    const int code = field(0).color;
    if (is_appearing_code(code) && !being_removed(0))
        set_field(0, last_appearance_frame(code) ? rest_code(code) : code + 8);
    form->update_cursors();
}
