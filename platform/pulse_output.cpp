#include "platform/pulse_output.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace {

pa_sample_format_t pulse_sample(WaveFormat::Sample sample) {
    switch (sample) {
    case WaveFormat::Sample::UInt8: return PA_SAMPLE_U8;
    case WaveFormat::Sample::Int16: return PA_SAMPLE_S16LE;
    case WaveFormat::Sample::Int32: return PA_SAMPLE_S32LE;
    }
    return PA_SAMPLE_INVALID;
}

// Holds the main loop's lock for one scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

struct Alarm {
    pa_threaded_mainloop* loop;
    bool rang = false;
};

void ring(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* alarm) {
    auto* self = static_cast<Alarm*>(alarm);
    self->rang = true;
    pa_threaded_mainloop_signal(self->loop, 0);
}

// A stream cut off before the server created it cannot be disconnected yet: it goes as soon
// as it exists, silent, because nobody writes to it any more.
void disconnect_when_ready(pa_stream* stream, void*) {
    if (pa_stream_get_state(stream) == PA_STREAM_READY) {
        pa_stream_disconnect(stream);
    }
}

constexpr pa_usec_t kLatency = 50'000;

bool still_connecting(pa_context_state_t state) {
    return PA_CONTEXT_IS_GOOD(state) && state != PA_CONTEXT_READY;
}

}  // namespace

PulseOutput::~PulseOutput() {
    if (!loop_) {
        return;
    }
    {
        LoopLock lock(loop_);
        close_stream();
        drop_context();
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

PulseOutput::Outcome PulseOutput::start(const WaveData& wave) {
    const Clock::time_point deadline = Clock::now() + kReplyWait;
    if (!loop_ && !start_loop()) {
        return Outcome::NoServer;
    }
    LoopLock lock(loop_);
    close_stream();
    if (!connected(deadline)) {
        return Outcome::NoServer;
    }
    return open_stream(wave, deadline);
}

void PulseOutput::stop() {
    if (loop_) {
        LoopLock lock(loop_);
        close_stream();
    }
}

bool PulseOutput::is_playing() const {
    if (!loop_) {
        return false;
    }
    LoopLock lock(loop_);
    return playing_;
}

bool PulseOutput::start_loop() {
    loop_ = pa_threaded_mainloop_new();
    if (loop_ && pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
    return loop_ != nullptr;
}

// True when the context is ready; otherwise it goes on connecting in the background, for at
// most kConnectLimit.
bool PulseOutput::connected(Clock::time_point deadline) {
    if (context_) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) {
            return true;
        }
        if (still_connecting(state) && Clock::now() - connect_began_ < kConnectLimit) {
            return false;
        }
        drop_context();   // lost, refused, or no answer in time
    }
    if (Clock::now() < next_attempt_ || !begin_connecting()) {
        return false;
    }
    wait_until(deadline, [](const PulseOutput& self) {
        return !still_connecting(pa_context_get_state(self.context_));
    });
    return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool PulseOutput::begin_connecting() {
    connect_began_ = Clock::now();
    next_attempt_ = connect_began_ + kRetryDelay;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Quorvel");
    if (!context_) {
        return false;
    }
    pa_context_set_state_callback(context_, on_context_state, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        drop_context();
        return false;
    }
    return true;
}

void PulseOutput::drop_context() {
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
}

PulseOutput::Outcome PulseOutput::open_stream(const WaveData& wave, Clock::time_point deadline) {
    const pa_sample_spec sample_format{pulse_sample(wave.format.sample), uint32_t(wave.format.sample_rate),
                              uint8_t(wave.format.channels)};
    stream_ = pa_stream_new(context_, "Quorvel sound", &sample_format, nullptr);
    if (!stream_) {
        return Outcome::Refused;
    }
    pcm_ = wave.pcm;
    written_ = 0;
    playing_ = true;
    pa_stream_set_state_callback(stream_, on_stream_state, this);
    pa_stream_set_write_callback(stream_, on_stream_write, this);
    // Short latency: a click is heard with the move, not the server's default seconds later.
    const uint32_t any = uint32_t(-1);
    const pa_buffer_attr buffer{any, uint32_t(pa_usec_to_bytes(kLatency, &sample_format)), any, any, any};
    if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0) {
        close_stream();
        return Outcome::Refused;
    }
    wait_until(deadline, [](const PulseOutput& self) {
        return pa_stream_get_state(self.stream_) != PA_STREAM_CREATING;
    });
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
        return Outcome::Playing;   // ready, or still on its way
    }
    const int error = pa_context_errno(context_);
    close_stream();
    if (pa_context_get_state(context_) != PA_CONTEXT_READY) {
        return Outcome::NoServer;
    }
    return error == PA_ERR_NOENTITY ? Outcome::NoSink : Outcome::Refused;
}

void PulseOutput::close_stream() {
    if (stream_) {
        pa_stream_set_state_callback(stream_, disconnect_when_ready, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    pcm_.clear();
    written_ = 0;
    playing_ = false;
}

// Lets the main loop run until done() or the deadline, whichever comes first.
void PulseOutput::wait_until(Clock::time_point deadline, bool (*done)(const PulseOutput&)) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    Alarm alarm{loop_};
    pa_time_event* timer = pa_context_rttime_new(
        context_, pa_rtclock_now() + pa_usec_t(std::max<long long>(left.count(), 0)), ring, &alarm);
    if (!timer) {
        return;
    }
    while (!done(*this) && !alarm.rang) {
        pa_threaded_mainloop_wait(loop_);
    }
    pa_threaded_mainloop_get_api(loop_)->time_free(timer);
}

// Hands the server as many whole frames as it asks for; after the last one, lets it play out.
void PulseOutput::write_samples(size_t wanted) {
    const size_t frame = pa_frame_size(pa_stream_get_sample_spec(stream_));
    const size_t count = std::min(wanted - wanted % frame, size_t(pcm_.size() - written_));
    if (count == 0) {
        return;
    }
    if (pa_stream_write(stream_, pcm_.constData() + written_, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        playing_ = false;
        return;
    }
    written_ += qsizetype(count);
    if (written_ == pcm_.size()) {
        if (pa_operation* drain = pa_stream_drain(stream_, on_stream_drained, this)) {
            pa_operation_unref(drain);
        }
    }
}

void PulseOutput::on_context_state(pa_context*, void* self) {
    pa_threaded_mainloop_signal(static_cast<PulseOutput*>(self)->loop_, 0);
}

void PulseOutput::on_stream_state(pa_stream* stream, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    if (stream == output->stream_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        output->playing_ = false;
    }
    pa_threaded_mainloop_signal(output->loop_, 0);
}

void PulseOutput::on_stream_write(pa_stream* stream, size_t bytes, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    if (stream == output->stream_) {
        output->write_samples(bytes);
    }
}

// Every sample played: the server may let the stream go. A stream cut off while it drained
// may still answer here: only the current one counts.
void PulseOutput::on_stream_drained(pa_stream* stream, int success, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    if (stream == output->stream_ && success) {
        output->playing_ = false;
        pa_stream_disconnect(stream);
    }
}
