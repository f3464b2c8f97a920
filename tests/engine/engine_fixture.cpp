#include "engine_fixture.h"

#include <stdexcept>

const std::string kColourStones = ".RGBYLKP";

int code_of(char stone) {
    if (stone == '*' || stone == 'D' || stone == '?') return kSpecialStone;
    const std::size_t colour = kColourStones.find(stone);
    if (colour == std::string::npos) throw std::invalid_argument(std::string("no stone is drawn as ") + stone);
    return static_cast<int>(colour);
}

int kind_of(char stone) {
    return stone == '*' ? kJoker : stone == 'D' ? kDynamite : stone == '?' ? kQuestion : kNoSpecial;
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
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int f = 0; f < kFields; ++f) {
        const TMyImage& image = engine.field_images[static_cast<std::size_t>(f)];
        char shown = kColourStones[static_cast<std::size_t>(image.color % 8)];
        if (is_special_code(image.color)) shown = image.joker_type == kDynamite ? 'D' : image.joker_type == kQuestion ? '?' : '*';
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] = shown;
    }
    return rows;
}

std::vector<std::string> lineless_board(int first) {
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int f = first; f < kFields; ++f)
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] = "RGBYLKP"[(f / 9 * 3 + f % 9) % 7];
    return rows;
}

void settle(Spielklasse& engine) {
    for (int tick = 0; tick < 20; ++tick) engine.highlight_tick();
}
