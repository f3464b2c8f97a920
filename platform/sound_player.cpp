#include "platform/sound_player.h"

#include "platform/wave_format.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    stop();
}

SoundPlayer::Result SoundPlayer::play(const QByteArray& wave_bytes) {
    ++requests_;
    stop();
    const std::optional<WaveData> wave = parse_wave(wave_bytes);
    if (!wave) {
        return Result::BadWave;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return Result::NoDevice;
    }
    samples_.setData(wave->pcm);
    samples_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, wave->format);
    connect(sink_.get(), &QAudioSink::stateChanged, this,
            [this, sink = sink_.get()](QAudio::State state) {
                if (state == QAudio::IdleState && sink_.get() == sink) {
                    sink->stop();   // every sample played: give the output back
                }
            });
    sink_->start(&samples_);
    if (sink_->error() != QAudio::NoError) {
        stop();
        return Result::DeviceError;
    }
    return Result::Started;
}

void SoundPlayer::stop() {
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    samples_.close();
}

bool SoundPlayer::is_playing() const {
    return sink_ && sink_->state() == QAudio::ActiveState;
}
