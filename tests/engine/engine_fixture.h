#pragma once

#include "engine/spielklasse.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

inline std::vector<int> counting_up(int n) {
    std::vector<int> values;
    for (int i = 0; i < n; ++i) values.push_back(i);
    return values;
}

// A stack's values from the top down.
inline std::vector<int> contents(const Stack<int>& stack) {
    std::vector<int> values;
    for (int position = 1; position <= stack.count(); ++position) values.push_back(stack.at(position));
    return values;
}

// Plays the window's part and remembers what the engine asked of it.
struct RecordingHost final : EngineHost {
    std::map<int, std::string> settings{{2, "1"}, {6, "1"}};
    std::vector<int> sounds;
    std::vector<int> final_scores;
    std::vector<std::string> pictures_shown;
    int pauses = 0;
    Spielklasse* engine = nullptr;
    std::function<void()> during_pause;

    void show_picture(TMyImage& image) override { pictures_shown.push_back(image.picture); }
    void show_digit(DigitImage&) override {}
    void play_sound(int sound_nr) override { sounds.push_back(sound_nr); }
    void update_cursors() override {}
    void run_game_end() override { final_scores.push_back(engine->score_display->get_value()); }
    void removal_pause() override {
        ++pauses;
        if (during_pause) std::exchange(during_pause, nullptr)();
    }
    std::string setting(int line) const override { return settings.contains(line) ? settings.at(line) : ""; }
};

// A rand whose sequence is a fixed list, started again by every seed: with a clock that stands
// still, each drop draws the same numbers, as three drops within one second do. By default a drop
// takes the first empty field.
struct ListRandom final : RandomSource {
    std::vector<int> values = counting_up(kFields);
    std::size_t position = 0;
    std::uint32_t seeded = 0;
    void seed(std::uint32_t value) override {
        seeded = value;
        position = 0;
    }
    int next() override { return values[position++ % values.size()]; }
};

struct StoppedClock final : Clock {
    std::int64_t now = 1'000'000;
    std::int64_t seconds() override { return now; }
};

struct TickingClock final : Clock {
    std::int64_t now = 1'000'000;
    std::int64_t seconds() override { return now++; }
};

// Board pictures: one string per row from the top, '.' empty, R G B Y L K P the seven colours,
// '*' joker, 'D' dynamite, '?' question stone. Missing rows are empty.
void set_board(Spielklasse& engine, const std::vector<std::string>& rows);
std::vector<std::string> board_picture(const Spielklasse& engine);
int code_of(char stone);
int kind_of(char stone);
// Stones on fields `first` to 80 in a pattern without lines: neighbours in every direction differ.
std::vector<std::string> lineless_board(int first);

// Runs highlight ticks until every removal and appearance has ended.
void settle(Spielklasse& engine);

// Test names for parameterised cases that carry their own `name`.
struct ByName {
    template <typename Info>
    std::string operator()(const Info& info) const { return info.param.name; }
};

template <typename RandomT, typename ClockT>
struct EngineRig {
    RecordingHost host;
    RandomT random;
    ClockT clock;
    Spielklasse engine{host, 9, 9, random, clock};

    explicit EngineRig(bool regular = true) {
        host.engine = &engine;
        engine.regular_mode = regular;
        engine.create_fields();
    }
    void board(const std::vector<std::string>& rows) { set_board(engine, rows); }
    TMyImage& at(int f) { return engine.field_images[static_cast<std::size_t>(f)]; }
    int score() const { return engine.score_display->get_value(); }
    std::string row(int r) const { return board_picture(engine)[static_cast<std::size_t>(r)]; }
    // Sets one field as a board picture draws it.
    void put(int f, char stone) {
        at(f).joker_type = kind_of(stone);
        engine.set_field(f, code_of(stone));
        engine.stone_count = engine.count_stones();
    }
    // Every preview slot shows the same stone.
    void preview(int code, int kind = kNoSpecial) { for (int i = 0; i < 3; ++i) engine.set_next(code, kind); }
    void click(int f) { engine.click(at(f)); }
    // Select the stone at `from`, send it to `to` and tick the move timer until it arrives.
    void move(int from, int to) {
        click(from);
        click(to);
        while (engine.busy && !engine.path->empty()) engine.move_step();
    }
};

using Rig = EngineRig<ListRandom, StoppedClock>;
