#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSink;

// Plays one wave at a time on the default audio output. A new sound cuts off the one still
// playing. Without an audio output nothing plays, and that is no error.
class SoundPlayer : public QObject {
public:
    enum class Result { Started, NoDevice, BadWave, DeviceError };

    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Returns at once; the sound goes on playing from the event loop.
    Result play(const QByteArray& wave_bytes);
    void stop();
    bool is_playing() const;
    // How many sounds were asked for, whether or not an output played them.
    int requests() const { return requests_; }

private:
    QBuffer samples_;                    // read by the sink: declared first, destroyed last
    std::unique_ptr<QAudioSink> sink_;
    int requests_ = 0;
};
