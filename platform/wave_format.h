#pragma once

#include <QByteArray>

#include <optional>

// Longest sample data a wave may bring; anything beyond is refused, not cut.
constexpr qsizetype kMaxWavePcmBytes = 16 * 1024 * 1024;

struct WaveFormat {
    enum class Sample { UInt8, Int16, Int32 };   // 16 and 32 bits are little-endian

    int sample_rate = 0;
    int channels = 0;
    Sample sample = Sample::UInt8;

    int bytes_per_frame() const;
};

struct WaveData {
    WaveFormat format;
    QByteArray pcm;   // whole frames only, in the sample order of the file
};

// Reads a RIFF WAVE file with integer PCM samples (8-bit unsigned, 16- or 32-bit signed;
// mono or stereo; 4000 to 192000 frames a second), also in the extensible format. A data
// chunk cut short by the end of the file gives the frames that are there. Nothing when the
// bytes are no such file, hold no samples, or hold more than kMaxWavePcmBytes.
std::optional<WaveData> parse_wave(const QByteArray& bytes);
