#include "synth_kit.h"

#include "sound_synth.h"

#include <algorithm>

std::vector<double> silence(double seconds) {
    return std::vector<double>(static_cast<std::size_t>(seconds * kSampleRate), 0.0);
}

double time_of(std::size_t index) {
    return static_cast<double>(index) / kSampleRate;
}

double glide(double from, double to, double t, double duration) {
    return from * std::pow(to / from, std::min(t / duration, 1.0));
}

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

double LowPass::operator()(double input, double cutoff) {
    state += (1.0 - std::exp(-kTwoPi * cutoff / kSampleRate)) * (input - state);
    return state;
}

double soft_square(double phase) {
    double sum = 0.0;
    for (int k = 1; k <= 7; k += 2)
        sum += std::sin(k * phase) / k * std::pow(0.7, k - 1);
    return sum;
}

void add_strike(std::vector<double>& samples, double start, const std::vector<Partial>& partials) {
    constexpr double kAttack = 0.002;  // seconds: soft enough not to click
    const auto first = static_cast<std::size_t>(start * kSampleRate);
    for (std::size_t i = first; i < samples.size(); ++i) {
        const double t = time_of(i - first);
        const double attack = std::min(1.0, t / kAttack);
        for (const Partial& partial : partials)
            samples[i] += attack * partial.amplitude * std::exp(-t / partial.decay) *
                          std::sin(kTwoPi * partial.frequency * t);
    }
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
