#include "platform/sound_player.h"

namespace {

// A style brings three sounds: each is decoded once while the style is in use.
constexpr qsizetype kDecodedWaves = 3;

}  // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

SoundPlayer::Result SoundPlayer::play(const QByteArray& wave_bytes) {
    ++requests_;
    const std::optional<WaveData> wave = decoded(wave_bytes);
    if (!wave) {
        stop();
        return Result::BadWave;
    }
    switch (output_.start(*wave)) {
    case PulseOutput::Outcome::Playing: return Result::Started;
    case PulseOutput::Outcome::NoServer:
    case PulseOutput::Outcome::NoSink: return Result::NoDevice;
    case PulseOutput::Outcome::Refused: return Result::DeviceError;
    }
    return Result::DeviceError;
}

void SoundPlayer::stop() {
    output_.stop();
}

bool SoundPlayer::is_playing() const {
    return output_.is_playing();
}

std::optional<WaveData> SoundPlayer::decoded(const QByteArray& wave_bytes) {
    for (const auto& [bytes, wave] : decoded_) {
        if (bytes == wave_bytes) {
            return wave;
        }
    }
    std::optional<WaveData> wave = parse_wave(wave_bytes);
    if (wave) {
        if (decoded_.size() == kDecodedWaves) {
            decoded_.removeFirst();
        }
        decoded_.append({wave_bytes, *wave});
    }
    return wave;
}
