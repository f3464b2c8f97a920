#pragma once

#include <QByteArray>

#include <vector>

inline constexpr int kSampleRate = 22050;

// A RIFF WAVE file, PCM 16-bit mono at kSampleRate, from samples in -1..1.
QByteArray wav_file(const std::vector<double>& samples);

// A style's three sounds, as WAV files.
struct StyleSounds {
    QByteArray plop_up;    // new stones have dropped
    QByteArray plop_away;  // a line leaves the board
    QByteArray error;      // the selected stone cannot get there
};

StyleSounds standard_sounds();  // a soft rising pop, a falling airy pop, a low double buzz
StyleSounds contrast_sounds();  // two rising beeps, a falling three-note chime, a low square buzz
StyleSounds marbles_sounds();   // glass marbles clicking, wooden toys tumbling, two wooden knocks
