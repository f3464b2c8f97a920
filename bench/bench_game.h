#pragma once

#include "engine_fixture.h"

#include <benchmark/benchmark.h>

#include <cstdint>

// Like the window, minus the window: nothing is drawn, sounds and pauses cost nothing.
struct QuietHost final : EngineHost {
    Spielklasse* engine = nullptr;
    int game_ends = 0;
    int final_score = 0;
    void show_picture(TMyImage&) override {}
    void show_digit(DigitImage&) override {}
    void play_sound(int) override {}
    void update_cursors() override {
        for (const TMyImage& f : engine->field_images) benchmark::DoNotOptimize(engine->cursor_for(f));
    }
    void run_game_end() override {
        ++game_ends;
        final_score = engine->score_display->get_value();
    }
    void removal_pause() override {}
    std::string setting(int) const override { return "1"; }
};

// The clock seeds every drop: games whose clocks start far apart drop their stones differently.
struct Game {
    QuietHost host;
    StandardRandom random;
    TickingClock clock;
    Spielklasse engine{host, 9, 9, random, clock};
    explicit Game(bool regular = true, std::int64_t first_second = 1'000'000) {
        host.engine = &engine;
        engine.regular_mode = regular;
        clock.now = first_second;
        engine.create_fields();
    }
};
