#include "sound_synth.h"

#include "synth_kit.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <random>

QByteArray wav_file(const std::vector<double>& samples) {
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBits = 16;
    constexpr std::uint16_t kBlockAlign = kChannels * kBits / 8;
    const auto data_bytes = static_cast<std::uint32_t>(samples.size() * kBlockAlign);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << static_cast<std::uint32_t>(36 + data_bytes);
    out.writeRawData("WAVEfmt ", 8);
    out << std::uint32_t{16} << std::uint16_t{1} << kChannels << std::uint32_t{kSampleRate}
        << std::uint32_t{kSampleRate * kBlockAlign} << kBlockAlign << kBits;
    out.writeRawData("data", 4);
    out << data_bytes;
    for (double sample : samples)
        out << static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0));
    return bytes;
}

namespace {

QByteArray plop_up_sound() {
    std::vector<double> samples = silence(0.17);
    double phase = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = time_of(i);
        phase += kTwoPi * glide(260.0, 780.0, t, 0.07) / kSampleRate;
        const double envelope = std::min(1.0, t / 0.006) * std::exp(-t / 0.04);
        samples[i] = 0.34 * envelope * (std::sin(phase) + 0.2 * std::sin(2.0 * phase));
    }
    fade_edges(samples, 0.004);
    return wav_file(samples);
}

QByteArray plop_away_sound() {
    std::vector<double> samples = silence(0.3);
    std::minstd_rand noise(20240611);
    std::uniform_real_distribution<double> white(-1.0, 1.0);
    LowPass air;
    LowPass softer_air;
    LowPass rumble;
    double phase = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = time_of(i);
        phase += kTwoPi * glide(880.0, 200.0, t, 0.22) / kSampleRate;
        const double tone = std::min(1.0, t / 0.01) * std::exp(-t / 0.07) * std::sin(phase);
        const double hiss = white(noise);
        const double cutoff = glide(4000.0, 500.0, t, 0.28);
        const double band = softer_air(air(hiss, cutoff), cutoff) - rumble(hiss, 300.0);
        const double swell = std::pow(std::sin(M_PI * std::min(t / 0.28, 1.0)), 2.0);
        samples[i] = 0.24 * tone + 0.7 * swell * band;
    }
    fade_edges(samples, 0.02);
    return wav_file(samples);
}

QByteArray error_sound() {
    std::vector<double> samples = silence(0.24);
    add_buzz(samples, 0.0, 0.09, 155.0);
    add_buzz(samples, 0.13, 0.09, 130.0);
    fade_edges(samples, 0.002);
    return wav_file(samples);
}

}  // namespace

StyleSounds standard_sounds() {
    return {plop_up_sound(), plop_away_sound(), error_sound()};
}
