#include "engine/spielklasse.h"

#include "engine/contract.h"

#include <charconv>
#include <ctime>

namespace {

constexpr int Kaestchen = kFields;
constexpr int kScoreDigits = 4;
constexpr int kScoreLeft = 382;
constexpr int kScoreTop = 45;
constexpr int kDigitWidth = 30;
constexpr int kDigitHeight = 45;
constexpr int kSoundSettingLine = 2;
constexpr int kDifficultySettingLine = 6;

}  // namespace

std::int64_t SystemClock::seconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

Spielklasse::Spielklasse(EngineHost& host, int board_rows, int board_columns, RandomSource& random_source,
                         Clock& calendar)
    : rows(board_rows), columns(board_columns), form(&host), random(&random_source), clock(&calendar) {
    sound_on = setting_value(kSoundSettingLine) != 0;
    for (int slot = 0; slot < 3; ++slot) {
        TMyImage& image = preview_images[static_cast<std::size_t>(slot)];
        image.game = this;
        image.Tag = slot;
        set_next(random->next() % 7 + 1, kNoSpecial);
    }
    regular_mode = setting_value(kDifficultySettingLine) != 0;
    next_slot = 0;
    for (int f = 0; f < Kaestchen; ++f) {
        TMyImage& image = field(f);
        image.on_board = true;
        image.Tag = f;
        image.game = this;
        image.picture = picture_name(0, 0);
    }
    path = std::make_unique<Stack<int>>();
    score_display = std::make_unique<lcd>(host, 0, kScoreDigits, kScoreLeft, kScoreTop, kDigitWidth, kDigitHeight);
}

// A settings line read as an integer: its leading decimal number, 0 when it has none.
int Spielklasse::setting_value(int line) const {
    const std::string text = form->setting(line);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void Spielklasse::create_fields() {
    for (int f = 0; f < Kaestchen; ++f) set_field(f, 0);
}

void Spielklasse::set_field(int f, int color) {
    // The text is the one players' reports quote; the test itself also refuses field 81.
    ENGINE_CHECK((0 <= f) && (Kaestchen > f) && (0 <= color) && (89 > color),
                 "(0<=field)&&(Kaestchen>=field)&&(0<=color)&&(89>=color)");
    TMyImage& image = field(f);
    if (color == 0) image.joker_type = kNoSpecial;
    image.picture = picture_name(color, image.joker_type);
    image.color = color;
    form->show_picture(image);
}

void Spielklasse::set_next(int color, int joker_type) {
    TMyImage& image = preview_images[static_cast<std::size_t>(next_slot)];
    if (color == kSpecialStone) {
        ENGINE_CHECK(joker_type >= kJoker && joker_type <= kQuestion, "joker_type");
        image.joker_type = joker_type;
    } else {
        image.joker_type = kNoSpecial;
    }
    image.color = color;
    image.picture = color == 0 ? picture_name(0, 0) : picture_name(color, image.joker_type);
    next_colors[static_cast<std::size_t>(next_slot)] = color;
    form->show_picture(image);
    next_slot = (next_slot + 1) % 3;
}

void Spielklasse::redraw() {
    for (int f = 0; f < Kaestchen; ++f) set_field(f, field(f).color);
    for (int i = 0; i < 3; ++i) {
        const TMyImage& slot = preview_images[static_cast<std::size_t>(next_slot)];
        set_next(slot.color, slot.joker_type);
    }
}

bool Spielklasse::is_joker(int f) const { return is_special_code(field(f).color); }

int Spielklasse::count_stones() const {
    int count = 0;
    for (const TMyImage& image : field_images)
        if (image.color != 0) ++count;
    return count;
}

void Spielklasse::seed_random() { random->seed(static_cast<std::uint32_t>(clock->seconds())); }
