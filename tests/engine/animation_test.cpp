#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr long kMoveMs = 85;
constexpr long kHighlightMs = 150;
constexpr long kBeat = 2550;  // both timers tick together every beat

// The window's two timers on a virtual clock, ticking from the moment they start; a removal pause
// lets the move timer tick meanwhile, as the window's event loop does. With `sleeps` the timers
// stop at the first tick that finds nothing animating and start again at the next picture or
// click, as the window's do; without, they run for ever. Frames are recorded as "time field picture".
class TimedHost final : public EngineHost {
public:
    explicit TimedHost(bool sleeps) : sleeps_(sleeps) {}

    void show_picture(TMyImage& image) override {
        frames.push_back(std::to_string(now_) + (image.on_board ? " " : " preview ") + std::to_string(image.Tag) +
                         " " + image.picture);
        activity_times.push_back(now_);
        wake();
    }
    void show_digit(DigitImage&) override {}
    void play_sound(int) override {}
    void update_cursors() override {}
    void run_game_end() override {}
    void removal_pause() override { run_until(now_ + kHighlightMs); }
    std::string setting(int line) const override { return line == 2 || line == 6 ? "1" : ""; }

    // A player's action at time `t`: the window wakes its timers after every click.
    void at(long t, const std::function<void()>& action) {
        run_until(t);
        action();
        activity_times.push_back(now_);
        wake();
    }

    void run_until(long end) {
        while (running_) {
            // A timer whose tick is still running does not tick again inside it.
            const long move_at = in_move_ ? end + 1 : next_move_;
            const long highlight_at = in_highlight_ ? end + 1 : next_highlight_;
            if (std::min(move_at, highlight_at) > end) break;
            now_ = std::min(move_at, highlight_at);
            fire(move_at <= highlight_at);
        }
        now_ = std::max(now_, end);
    }

    Spielklasse* engine = nullptr;
    std::vector<std::string> frames;
    std::vector<long> activity_times;  // frames and clicks
    std::vector<long> ticks;

private:
    void wake() {
        if (running_) return;
        running_ = true;
        ++starts_;
        next_move_ = now_ + kMoveMs;
        next_highlight_ = now_ + kHighlightMs;
    }

    void fire(bool move) {
        ticks.push_back(now_);
        const int starts = starts_;
        bool& in_tick = move ? in_move_ : in_highlight_;
        long& next = move ? next_move_ : next_highlight_;
        const long interval = move ? kMoveMs : kHighlightMs;
        const long due = next;
        in_tick = true;
        move ? engine->move_step() : engine->highlight_tick();
        in_tick = false;
        if (sleeps_ && !engine->animating()) running_ = false;
        if (!running_ || starts != starts_) return;
        next = due + interval;
        while (next <= now_) next += interval;
    }

    bool sleeps_;
    bool running_ = false;
    bool in_move_ = false;
    bool in_highlight_ = false;
    int starts_ = 0;
    long now_ = 0;
    long next_move_ = 0;
    long next_highlight_ = 0;
};

// Three drops (none on field 0), a pulsing stone, another picked instead, one put back, a line of five completed
// by a travel, and a long travel whose drops complete two lines and leave the one on field 0
// appearing alone.
TimedHost play_scripted_game(bool sleeps) {
    TimedHost host(sleeps);
    ListRandom random;
    StoppedClock clock;
    Spielklasse engine(host, 9, 9, random, clock);
    host.engine = &engine;
    engine.create_fields();
    set_board(engine, {"", "", "GGGG", "GGGG", "RRRR", "", "....R"});
    const auto green_preview = [&] { for (int slot = 0; slot < 3; ++slot) engine.set_next(2, kNoSpecial); };
    green_preview();
    random.values = {1, 2, 3};
    for (int i = 0; i < 3; ++i) engine.drop_stone();
    const auto click = [&](int f) { engine.click(engine.field_images[static_cast<std::size_t>(f)]); };
    host.at(1 * kBeat, [&] { click(58); });
    host.at(2 * kBeat, [&] { click(36); });
    host.at(3 * kBeat, [&] { engine.deselect(); });
    host.at(4 * kBeat, [&] { click(58); });
    host.at(5 * kBeat, [&] { click(40); });
    host.at(7 * kBeat, [&] { click(1); });
    host.at(8 * kBeat, [&] {
        green_preview();
        random.values = {0, 22, 31};
        click(80);
    });
    host.run_until(12 * kBeat);
    const std::string empty_row = ".........";
    EXPECT_EQ(board_picture(engine), (std::vector<std::string>{"G.GG.....", empty_row, empty_row, empty_row, empty_row,
                                                               empty_row, empty_row, empty_row, "........G"}));
    return host;
}

}  // namespace

TEST(AnimationTimers, SleepingTimersShowTheSameFramesAndTickOnlyWhileSomethingMoves) {
    const TimedHost running = play_scripted_game(false);
    const TimedHost sleeping = play_scripted_game(true);
    ASSERT_GT(running.frames.size(), 300u);
    EXPECT_EQ(sleeping.frames, running.frames);
    // A removal's last pause shows nothing, so a tick may come up to two intervals after a frame.
    const auto soon_after_activity = [&](long tick) {
        return std::any_of(sleeping.activity_times.begin(), sleeping.activity_times.end(),
                           [tick](long seen) { return seen <= tick && tick <= seen + 2 * kHighlightMs; });
    };
    for (const long tick : sleeping.ticks) EXPECT_TRUE(soon_after_activity(tick)) << "a tick at " << tick << " ms";
    EXPECT_LT(sleeping.ticks.size(), running.ticks.size() / 2);
}
