#include "sound_synth.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

std::vector<double> silence(double seconds) {
    return std::vector<double>(static_cast<std::size_t>(seconds * kSampleRate), 0.0);
}

double time_of(std::size_t index) {
    return static_cast<double>(index) / kSampleRate;
}

// Exponential glide from one frequency to another over `duration`, then held.
double glide(double from, double to, double t, double duration) {
    return from * std::pow(to / from, std::min(t / duration, 1.0));
}

// Raised-cosine fades at both ends, so that a sound starts and stops without a click.
void fade_edges(std::vector<double>& samples, double seconds) {
    const auto ramp = std::min(samples.size() / 2, static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t i = 0; i < ramp; ++i) {
        const double gain = 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(i) / ramp);
        samples[i] *= gain;
        samples[samples.size() - 1 - i] *= gain;
    }
    samples.front() = 0.0;
    samples.back() = 0.0;
}

// One-pole low-pass filter; `cutoff` may change from sample to sample.
struct LowPass {
    double state = 0.0;
    double operator()(double input, double cutoff) {
        state += (1.0 - std::exp(-kTwoPi * cutoff / kSampleRate)) * (input - state);
        return state;
    }
};

// A soft square wave: the first odd harmonics, rolled off.
double soft_square(double phase) {
    double sum = 0.0;
    for (int k = 1; k <= 7; k += 2)
        sum += std::sin(k * phase) / k * std::pow(0.7, k - 1);
    return sum;
}

void add_buzz(std::vector<double>& samples, double start, double length, double frequency) {
    const auto first = static_cast<std::size_t>(start * kSampleRate);
    const auto count = static_cast<std::size_t>(length * kSampleRate);
    std::vector<double> buzz(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = time_of(i);
        buzz[i] = 0.3 * std::exp(-t / 0.12) * soft_square(kTwoPi * frequency * t);
    }
    fade_edges(buzz, 0.012);
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i)
        samples[first + i] += buzz[i];
}

}  // namespace

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
