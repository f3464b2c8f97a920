#include "engine/spielklasse.h"

#include <algorithm>

namespace {

constexpr int kLineLength = 5;
constexpr int kRemovalSound = 2;
constexpr int kLastRemovalFrame = 57;  // below this code the next removal step empties the field

bool compatible(int neighbour_code, int current_code) {
    if (neighbour_code == 0) return false;
    return colour_of(neighbour_code) == colour_of(current_code) || colour_of(neighbour_code) == 0 ||
           colour_of(current_code) == 0;
}

}  // namespace

struct Spielklasse::LineCounts {
    std::array<int, 8> c{};
    bool has_line() const { return std::any_of(c.begin() + 1, c.end(), [](int n) { return n >= kLineLength; }); }
};

namespace {

struct Direction {
    int dv1, dh1, dv2, dh2;
    bool diagonal;
};

constexpr std::array<Direction, 4> kDirections{{
    {-1, 0, +1, 0, false},   // vertical: up, then down
    {0, -1, 0, +1, false},   // horizontal: left, then right
    {-1, -1, +1, +1, true},  // diagonal: up-left, then down-right
    {-1, +1, +1, -1, true},  // diagonal: up-right, then down-left
}};

}  // namespace

int Spielklasse::neighbour(int f, Step step) {
    const int row = f / kBoardSide + step.dv;
    const int column = f % kBoardSide + step.dh;
    if (row < 0 || row >= kBoardSide || column < 0 || column >= kBoardSide) return -1;
    return row * kBoardSide + column;
}

// Code as the line rules see it: outside the board and stones already leaving count as empty,
// so no stone is counted, removed or scored twice while its removal runs.
int Spielklasse::line_code(int f) const {
    if (f < 0 || being_removed(f)) return 0;
    return field(f).color;
}

// Colour of the first coloured stone beyond f and any further special stones; 0 at a gap or edge.
int Spielklasse::nearest_colour(int f, Step way) const {
    for (int at = neighbour(f, way);; at = neighbour(at, way)) {
        const int code = line_code(at);
        if (code == 0) return 0;
        if (!is_special_code(code)) return colour_of(code);
    }
}

void Spielklasse::count_way(int f, Step way, LineCounts& counts) const {
    int current = line_code(f);
    for (int at = neighbour(f, way); compatible(line_code(at), current); at = neighbour(at, way)) {
        const int code = line_code(at);
        if (!is_special_code(code)) {
            ++counts.c[static_cast<std::size_t>(colour_of(code))];
            current = code;
            continue;
        }
        const int first = nearest_colour(at, way);
        const int second = nearest_colour(at, Step{-way.dv, -way.dh});
        ++counts.c[static_cast<std::size_t>(first)];
        if (second != first) ++counts.c[static_cast<std::size_t>(second)];
    }
}

void Spielklasse::count_direction(int f, Step first, Step second, LineCounts& counts) const {
    counts.c.fill(0);
    if (is_special_code(field(f).color))
        counts.c.fill(1);
    else
        counts.c[static_cast<std::size_t>(colour_of(field(f).color))] = 1;
    count_way(f, first, counts);
    count_way(f, second, counts);
}

int Spielklasse::remove_way(int f, Step way, const LineCounts& counts, bool& dynamite) {
    const bool f_is_dynamite = field(f).joker_type == kDynamite;
    int current = line_code(f);
    int removed = 0;
    for (int at = neighbour(f, way);; at = neighbour(at, way)) {
        const int code = line_code(at);
        if (!compatible(code, current)) break;
        if (counts.c[static_cast<std::size_t>(colour_of(code))] < kLineLength && !is_special_code(code)) break;
        remove_stone(at);
        if (!is_special_code(code)) current = code;
        ++removed;
        if (field(at).joker_type == kDynamite || f_is_dynamite) {
            field(at).joker_type = kExploding;
            dynamite = true;
        }
    }
    return removed;
}

bool Spielklasse::check_lines(int f) {
    if (line_code(f) == 0) return false;
    if (selected != nullptr) set_field(selected->Tag, rest_code(selected->color));
    int removed = 0;
    bool diagonal = false;
    bool dynamite = false;
    std::array<bool, 8> blast{};
    for (const Direction& d : kDirections) {
        const Step first{d.dv1, d.dh1};
        const Step second{d.dv2, d.dh2};
        LineCounts counts;
        count_direction(f, first, second, counts);
        if (!counts.has_line()) continue;
        const int here = remove_way(f, first, counts, dynamite) + remove_way(f, second, counts, dynamite);
        removed += here;
        if (d.diagonal && here > 0) diagonal = true;
        if (!dynamite) continue;
        for (int k = 1; k <= 7; ++k)
            if (counts.c[static_cast<std::size_t>(k)] >= kLineLength) blast[static_cast<std::size_t>(k)] = true;
    }
    if (removed == 0) return false;
    stone_count -= removed + 1;
    add_score(removed + (diagonal ? 1 : 0));
    remove_stone(f);
    for (int k = 1; k <= 7; ++k)
        if (blast[static_cast<std::size_t>(k)]) blast_color(k);
    selected = nullptr;
    form->play_sound(kRemovalSound);
    return true;
}

bool Spielklasse::would_complete_line(int f) {
    TMyImage& image = field(f);
    const int saved = image.color;
    image.color = kSpecialStone;
    bool completes = false;
    for (const Direction& d : kDirections) {
        LineCounts counts;
        count_direction(f, Step{d.dv1, d.dh1}, Step{d.dv2, d.dh2}, counts);
        completes = completes || counts.has_line();
    }
    image.color = saved;
    return completes;
}

// Points for n counted stones: long lines and diagonals pay more.
constexpr int points_for(int n) {
    const int m = std::max(0, n - 4);
    return 3 + m * (m + 3) / 2;
}
static_assert(points_for(4) == 3 && points_for(5) == 5 && points_for(8) == 17 && points_for(13) == 57);

void Spielklasse::add_score(int n) {
    const int points = points_for(n);
    const int old = score_display->get_value();
    if (old % 50 >= (old + points) % 50) extra_stones += old / 50 + 1;
    score_display->set_value(old + points);
}

void Spielklasse::remove_stone(int f) {
    busy = true;
    set_field(f, colour_of(field(f).color) + 80);
    if (!being_removed(f)) removal_list.push(f);
}

void Spielklasse::blast_color(int colour) {
    for (TMyImage& image : field_images) {
        if (image.color != colour) continue;
        image.joker_type = kExploding;
        image.color = kSpecialStone;
        remove_stone(image.Tag);
        --stone_count;
    }
}

// The whole removal runs inside one timer tick; between frames the window handles its events,
// and a tick that arrives meanwhile must not start a second pass over the same list.
void Spielklasse::animate_removal() {
    if (removal_running) return;
    removal_running = true;
    while (!removal_list.empty()) {
        for (int position = 1; position <= removal_list.count();) {
            const int f = removal_list.at(position);
            const int code = field(f).color;
            if (code < kLastRemovalFrame) {
                set_field(f, 0);
                removal_list.remove_at(position);
            } else {
                set_field(f, code - 8);
                ++position;
            }
        }
        if (removal_list.empty()) busy = false;
        form->removal_pause();
    }
    removal_running = false;
    form->update_cursors();
}
