#pragma once

#include "platform/pulse_output.h"
#include "platform/wave_format.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <utility>

// Plays one wave at a time on the sound server's default output. A new sound cuts off the one
// still playing. Without a sound server or an output nothing plays, and that is no error.
// Nothing reaches the sound server before the first play().
class SoundPlayer : public QObject {
public:
    enum class Result { Started, NoDevice, BadWave, DeviceError };

    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Returns at once (waits at most PulseOutput::kReplyWait for the server); the sound goes on
    // playing in the background.
    Result play(const QByteArray& wave_bytes);
    void stop();
    bool is_playing() const;
    // How many sounds were asked for, whether or not an output played them.
    int requests() const { return requests_; }

private:
    std::optional<WaveData> decoded(const QByteArray& wave_bytes);

    QList<std::pair<QByteArray, WaveData>> decoded_;   // the waves played last, oldest first
    PulseOutput output_;
    int requests_ = 0;
};
