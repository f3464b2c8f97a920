#pragma once

#include <QByteArray>

#include <vector>

inline constexpr int kSampleRate = 22050;

// A RIFF WAVE file, PCM 16-bit mono at kSampleRate, from samples in -1..1.
QByteArray wav_file(const std::vector<double>& samples);

// The style's three sounds, as WAV files.
QByteArray plop_up_sound();    // a soft rising pop: new stones have dropped
QByteArray plop_away_sound();  // a falling airy pop: a line leaves the board
QByteArray error_sound();      // a low double buzz: no way there
