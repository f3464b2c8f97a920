#include "engine_fixture.h"

#include <stdexcept>

int code_of(char stone) {
    switch (stone) {
        case '.': return 0;
        case 'R': return 1;
        case 'G': return 2;
        case 'B': return 3;
        case 'Y': return 4;
        case 'L': return 5;
        case 'K': return 6;
        case 'P': return 7;
        case '*':
        case 'D':
        case '?': return 8;
    }
    throw std::invalid_argument(std::string("no stone is drawn as ") + stone);
}

static int kind_of(char stone) {
    if (stone == '*') return kJoker;
    if (stone == 'D') return kDynamite;
    if (stone == '?') return kQuestion;
    return kNoSpecial;
}

void set_board(Spielklasse& engine, const std::vector<std::string>& rows) {
    for (int f = 0; f < kFields; ++f) {
        const std::size_t row = static_cast<std::size_t>(f / 9);
        const std::size_t column = static_cast<std::size_t>(f % 9);
        const char stone = row < rows.size() && column < rows[row].size() ? rows[row][column] : '.';
        engine.field_images[static_cast<std::size_t>(f)].joker_type = kind_of(stone);
        engine.set_field(f, code_of(stone));
    }
    engine.stone_count = engine.count_stones();
}

std::vector<std::string> board_picture(const Spielklasse& engine) {
    const std::string stones = ".RGBYLKP";
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int f = 0; f < kFields; ++f) {
        const TMyImage& image = engine.field_images[static_cast<std::size_t>(f)];
        char shown = stones[static_cast<std::size_t>(image.color % 8)];
        if (is_special_code(image.color)) shown = image.joker_type == kDynamite ? 'D' : image.joker_type == kQuestion ? '?' : '*';
        if (image.color == 0) shown = '.';
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] = shown;
    }
    return rows;
}

void settle(Spielklasse& engine) {
    for (int tick = 0; tick < 20; ++tick) engine.highlight_tick();
}
