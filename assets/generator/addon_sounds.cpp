#include "sound_synth.h"

#include "synth_kit.h"

namespace {

// A short sine tone with a soft start and an exponential fall.
void add_beep(std::vector<double>& samples, double start, double length, double frequency) {
    add_strike(samples, start, {{frequency, 0.3, length / 2.5}, {2 * frequency, 0.04, length / 4}});
}

// Struck glass: bright inharmonic partials that ring briefly.
std::vector<Partial> glass_click(double pitch) {
    return {{pitch, 0.16, 0.03}, {pitch * 2.76, 0.05, 0.012}, {pitch * 5.4, 0.015, 0.006}};
}

// Struck wood: low partials that die almost at once.
std::vector<Partial> wood_knock(double pitch) {
    return {{pitch, 0.3, 0.035}, {pitch * 2.3, 0.09, 0.012}};
}

QByteArray finished(std::vector<double> samples) {
    fade_edges(samples, 0.004);
    return wav_file(samples);
}

}  // namespace

StyleSounds contrast_sounds() {
    std::vector<double> up = silence(0.16);
    add_beep(up, 0.0, 0.06, 523.0);
    add_beep(up, 0.07, 0.08, 784.0);
    std::vector<double> away = silence(0.26);
    add_beep(away, 0.0, 0.07, 2093.0);
    add_beep(away, 0.07, 0.07, 1568.0);
    add_beep(away, 0.14, 0.1, 1319.0);
    std::vector<double> error = silence(0.22);
    add_buzz(error, 0.0, 0.2, 110.0);
    return {finished(up), finished(away), finished(error)};
}

StyleSounds marbles_sounds() {
    std::vector<double> up = silence(0.18);
    add_strike(up, 0.0, glass_click(1900.0));
    add_strike(up, 0.07, glass_click(2300.0));
    // Wooden toys tumble into their box: knocks that come faster and go lower.
    std::vector<double> away = silence(0.3);
    const double knocks[][2] = {{0.0, 820.0}, {0.07, 760.0}, {0.12, 690.0}, {0.16, 640.0},
                                {0.19, 600.0}, {0.21, 560.0}};
    for (const auto& [start, pitch] : knocks)
        add_strike(away, start, wood_knock(pitch));
    std::vector<double> error = silence(0.24);
    add_strike(error, 0.0, wood_knock(190.0));
    add_strike(error, 0.11, wood_knock(150.0));
    return {finished(up), finished(away), finished(error)};
}
