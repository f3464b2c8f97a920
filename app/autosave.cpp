#include "app/autosave.h"

#include "app/settings_store.h"
#include "engine/spielklasse.h"

#include <algorithm>

namespace {

constexpr int kLargestScore = 4999;

int digit_at(const QString& text, int f) { return text[f].digitValue(); }

// The kind a restored stone rests with.
int resting_kind(int stone, int kind) {
    if (stone != kSpecialStone) return kNoSpecial;
    return kind >= kJoker && kind <= kQuestion ? kind : kJoker;
}

}  // namespace

bool all_digits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool valid_board_text(const QString& text) { return text.size() == kFields && all_digits(text); }

bool valid_score_text(const QString& text) {
    if (text.isEmpty() || !all_digits(text)) return false;
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == u'0') ++first;
    return text.size() - first <= 4 && text.mid(first).toInt() <= kLargestScore;
}

QString board_text(const Spielklasse& engine) {
    QString stones;
    for (const TMyImage& field : engine.field_images) stones += QChar(u'0' + rest_code(field.color));
    return stones;
}

void autosave_game(const Spielklasse& engine, SettingsList& settings) {
    QString kinds;
    for (const TMyImage& field : engine.field_images) kinds += QChar(u'0' + field.joker_type);
    settings.set_line(kSavedKindsLine, kinds);
    settings.set_line(kSavedStonesLine, board_text(engine));
    settings.set_value(kSavedScoreLine, engine.score_display->get_value());
    settings.set_value(kSavedExtraStonesLine, engine.extra_stones);
}

bool restore_game(Spielklasse& engine, const SettingsList& settings) {
    const QString kinds = settings.line(kSavedKindsLine);
    const QString stones = settings.line(kSavedStonesLine);
    if (!valid_board_text(kinds) || !valid_board_text(stones) || !valid_score_text(settings.line(kSavedScoreLine)))
        return false;
    for (int f = 0; f < kFields; ++f) {
        const int stone = rest_code(digit_at(stones, f));
        engine.field_images[static_cast<std::size_t>(f)].joker_type = resting_kind(stone, digit_at(kinds, f));
        engine.set_field(f, stone);
    }
    engine.stone_count = engine.count_stones();
    engine.score_display->set_value(settings.value(kSavedScoreLine));
    engine.extra_stones = settings.value(kSavedExtraStonesLine);
    return true;
}

void forget_saved_game(SettingsList& settings) {
    for (const int line : {kSavedKindsLine, kSavedStonesLine, kSavedScoreLine, kSavedExtraStonesLine})
        settings.set_line(line, QString());
}
