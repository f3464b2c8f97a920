#pragma once

#include "engine/lcd.h"

#include <cstdint>
#include <random>
#include <string>

struct TMyImage;

// Everything the engine asks of the window. The main window implements it; tests record it.
// None of these may throw: a missing picture is reported by the host itself.
class EngineHost : public DigitOwner {
public:
    // image.picture names the bitmap the image must show now.
    virtual void show_picture(TMyImage& image) = 0;
    virtual void play_sound(int sound_nr) = 0;
    virtual void update_cursors() = 0;
    // The game-over dialog and then the game-end flow, which reads the final score.
    virtual void run_game_end() = 0;
    // Waits one highlight interval between removal frames while the window handles its events.
    virtual void removal_pause() = 0;
    // A line of the settings list as text.
    virtual std::string setting(int line) const = 0;

protected:
    ~EngineHost() = default;
};

// Like the C library's rand and srand: non-negative values from a seedable sequence.
class RandomSource {
public:
    virtual void seed(std::uint32_t seed) = 0;
    virtual int next() = 0;

protected:
    ~RandomSource() = default;
};

class Clock {
public:
    virtual std::int64_t seconds() = 0;  // whole seconds of calendar time

protected:
    ~Clock() = default;
};

// Neighbouring seeds (the seconds of consecutive drops) give unrelated sequences here, which a
// plain linear congruential generator would not.
class StandardRandom final : public RandomSource {
public:
    void seed(std::uint32_t seed) override { generator_.seed(seed); }
    int next() override { return static_cast<int>(generator_() >> 1); }

private:
    std::mt19937 generator_;
};

class SystemClock final : public Clock {
public:
    std::int64_t seconds() override;
};
