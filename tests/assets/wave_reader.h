#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// The parts of a RIFF WAVE file the tests look at; 16-bit samples only.
struct Wave {
    int format = 0;  // 1 is PCM
    int channels = 0;
    int sample_rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;

    double seconds() const;
};

// Walks the chunks of a RIFF WAVE file; nothing when the file is not one or a chunk runs past
// the end.
std::optional<Wave> read_wave(const QByteArray& bytes);
