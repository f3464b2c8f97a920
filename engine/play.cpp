#include "engine/spielklasse.h"

namespace {

enum Cursor { kPickHand = 1, kPickHand2 = 2, kNoHand = 3 };
constexpr int kLastHighlightCode = 48;
constexpr int kHighlightCycle = 40;

}  // namespace

void Spielklasse::click(TMyImage& control) {
    if (busy || !control.on_board) return;
    if (selected != nullptr && control.color == 0) {
        find_path(control.Tag);
        if (!path->empty()) busy = true;
        return;
    }
    if (control.color == 0) return;
    if (selected != nullptr) set_field(selected->Tag, rest_code(selected->color));
    select(control);
}

void Spielklasse::deselect() {
    if (busy || selected == nullptr) return;
    set_field(selected->Tag, rest_code(selected->color));
    selected = nullptr;
    clear_reachable();
    form->update_cursors();
}

void Spielklasse::select(TMyImage& control) {
    selected = &control;
    clear_reachable();
    mark_reachable(control.Tag);
    form->update_cursors();
}

int Spielklasse::cursor_for(const TMyImage& image) const {
    if (busy) return kPickHand;
    const bool empty = image.color == 0;
    if (selected != nullptr && empty) return image.reachable ? kPickHand2 : kNoHand;
    if (selected == nullptr && !empty) return kPickHand2;
    return kPickHand;
}

void Spielklasse::animate_selected() {
    if (selected == nullptr || selected->color > kLastHighlightCode) return;
    int code = selected->color + 8;
    if (code > kLastHighlightCode) code -= kHighlightCycle;
    set_field(selected->Tag, code);
}

void Spielklasse::highlight_tick() {
    animate_selected();
    animate_appearing();
    animate_removal();
}

bool Spielklasse::animating() const {
    if (busy) return true;  // a travel or a removal
    if (selected != nullptr && selected->color <= kLastHighlightCode) return true;
    // A drop on field 0 has no entry among the recent drops, which take 0 for none.
    if (is_appearing_code(field(0).color)) return true;
    for (int slot = 1; slot < static_cast<int>(recent_drops.size()); ++slot) {
        const int f = recent_drops[static_cast<std::size_t>(slot)];
        if (f != 0 && is_appearing_code(field(f).color)) return true;
    }
    return false;
}

// Shifts halves of the board (it does not mirror them), then looks for lines along the seam.
void Spielklasse::rearrange_board() {
    const bool swap_rows = stone_count % 2 != 0;
    auto exchange = [this](int a, int b) {
        const int kind_a = field(a).joker_type;
        const int code_a = field(a).color;
        field(a).joker_type = field(b).joker_type;
        set_field(a, field(b).color);
        field(b).joker_type = kind_a;
        set_field(b, code_a);
    };
    if (swap_rows) {
        for (int i = 0; i <= 35; ++i) exchange(i, i + 45);
        for (int f = 36; f <= 44; ++f) check_lines(f);
        return;
    }
    for (int row = 0; row < kBoardSide; ++row)
        for (int c = 0; c <= 3; ++c) exchange(row * kBoardSide + c, row * kBoardSide + c + 5);
    for (int row = 0; row < kBoardSide; ++row) check_lines(row * kBoardSide + 4);
}
