#pragma once

#include <array>
#include <string>

// Stone codes: 0 empty; code mod 8 is the colour (0 for a special stone);
// (code - 1) div 8 is the picture group.
constexpr int kFields = 81;
constexpr int kBoardSide = 9;
constexpr int kMaxCode = 88;
constexpr int kSpecialStone = 8;

enum SpecialKind { kNoSpecial = 0, kJoker = 1, kDynamite = 2, kQuestion = 3, kExploding = 4 };

constexpr int colour_of(int code) { return code % 8; }
constexpr bool is_special_code(int code) { return code != 0 && code % 8 == 0; }
constexpr int rest_code(int code) { return is_special_code(code) ? kSpecialStone : code % 8; }
// Codes 49..88 are the frames of a stone that has just dropped.
constexpr bool is_appearing_code(int code) { return code >= 49 && code <= kMaxCode; }

// Up, down, left, right of field f, in the order every search tries them; -1 where the board ends.
constexpr std::array<int, 4> orthogonal_neighbours(int f) {
    return {f >= kBoardSide ? f - kBoardSide : -1, f + kBoardSide < kFields ? f + kBoardSide : -1,
            f % kBoardSide != 0 ? f - 1 : -1, (f + 1) % kBoardSide != 0 ? f + 1 : -1};
}

// Bitmap name for a stone code and special kind.
std::string picture_name(int code, int kind);
