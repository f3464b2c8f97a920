#pragma once

#include "platform/wave_format.h"

#include <QByteArray>

#include <chrono>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// One playback stream at a time on the sound server's default sink, through libpulse's
// threaded main loop. Nothing happens before the first start(): that makes the connection.
// No call waits longer than kReplyWait for the server, and a server that cannot be reached is
// tried again only after kRetryDelay. Use from one thread only.
class PulseOutput {
public:
    enum class Outcome { Playing, NoServer, NoSink, Refused };

    static constexpr std::chrono::milliseconds kReplyWait{30};
    static constexpr std::chrono::milliseconds kConnectLimit{2000};
    static constexpr std::chrono::milliseconds kRetryDelay{5000};

    PulseOutput() = default;
    ~PulseOutput();
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Cuts off the sound still playing and starts this one.
    Outcome start(const WaveData& wave);
    void stop();
    bool is_playing() const;

private:
    using Clock = std::chrono::steady_clock;

    bool start_loop();
    bool connected(Clock::time_point deadline);
    bool begin_connecting();
    void drop_context();
    Outcome open_stream(const WaveData& wave, Clock::time_point deadline);
    void close_stream();
    void wait_until(Clock::time_point deadline, bool (*done)(const PulseOutput&));
    void write_samples(size_t wanted);

    static void on_context_state(pa_context* context, void* self);
    static void on_stream_state(pa_stream* stream, void* self);
    static void on_stream_write(pa_stream* stream, size_t bytes, void* self);
    static void on_stream_drained(pa_stream* stream, int success, void* self);

    // Everything below is shared with the main loop's thread: touch it under the loop's lock.
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    QByteArray pcm_;            // of the current stream
    qsizetype written_ = 0;     // of pcm_, handed to the server
    bool playing_ = false;
    Clock::time_point connect_began_{};
    Clock::time_point next_attempt_{};
};
