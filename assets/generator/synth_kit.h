#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// Building blocks of the styles' synthesised sounds; samples run from -1 to 1 at kSampleRate.

inline constexpr double kTwoPi = 2.0 * M_PI;

std::vector<double> silence(double seconds);
double time_of(std::size_t index);

// Exponential glide from one frequency to another over `duration`, then held.
double glide(double from, double to, double t, double duration);

// Raised-cosine fades at both ends, so that a sound starts and stops without a click.
void fade_edges(std::vector<double>& samples, double seconds);

// One-pole low-pass filter; `cutoff` may change from sample to sample.
struct LowPass {
    double state = 0.0;
    double operator()(double input, double cutoff);
};

// A soft square wave: the first odd harmonics, rolled off.
double soft_square(double phase);

// One partial of a struck sound: a sine at `frequency` that dies away with time constant `decay`.
struct Partial {
    double frequency;
    double amplitude;
    double decay;  // seconds
};

// A struck sound made of partials, added into `samples` from `start` seconds on.
void add_strike(std::vector<double>& samples, double start, const std::vector<Partial>& partials);

// A buzzing soft square `length` seconds long, added into `samples` from `start` seconds on.
void add_buzz(std::vector<double>& samples, double start, double length, double frequency);
