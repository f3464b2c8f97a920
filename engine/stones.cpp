#include "engine/stones.h"

#include <array>

namespace {

constexpr std::array<const char*, 8> kColourWords{
    "", "red", "green", "blue", "yellow", "lblue", "black", "purple"};

// Frame suffix of each picture group 0..10.
constexpr std::array<const char*, 11> kGroupSuffix{
    "0005", "0006", "0007", "0008", "0009", "0010", "0000", "0001", "0002", "0003", "0004"};

// A stone taken by a dynamite line shows the blast frames in groups 6..10.
constexpr std::array<const char*, 5> kExplodingSuffix{"0015", "0014", "0012", "0013", "0014"};

std::string special_word(int kind) {
    if (kind == kDynamite || kind == kExploding) return "dynamit";
    if (kind == kQuestion) return "quest";
    return "joker";
}

}  // namespace

std::string picture_name(int code, int kind) {
    if (code == 0) return "empty";
    const int group = (code - 1) / 8;
    if (!is_special_code(code)) return std::string(kColourWords[colour_of(code)]) + kGroupSuffix[group];
    if (group <= 5) {
        const int shown = kind == kExploding ? kJoker : kind;
        return special_word(shown) + kGroupSuffix[group];
    }
    if (kind == kExploding) return std::string("dynamit") + kExplodingSuffix[group - 6];
    return special_word(kind) + kGroupSuffix[group];
}
