#include "fixtures.h"
#include "platform/sound_player.h"
#include "platform/wave_format.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>

namespace {

const QByteArray kPcmGuid = QByteArray::fromHex("0100000000001000800000aa00389b71");
const QByteArray kFloatGuid = QByteArray::fromHex("0300000000001000800000aa00389b71");
const Layout kStereo16{2, 44100, 16};
const QByteArray kFmt = chunk("fmt ", fmt_body({}));
const QByteArray kData = chunk("data", samples(10));

QByteArray extensible_fmt_body(Layout layout, const QByteArray& subformat) {
    layout.tag = 0xFFFE;
    return fmt_body(layout) + le16(22) + le16(layout.bits) + le32(layout.channels == 2 ? 3 : 4) +
           subformat;
}

QByteArray with_fmt(const QByteArray& body) {
    return riff(chunk("fmt ", body) + kData);
}

// Parses a copy without spare capacity, so that the sanitizer sees reads past the end of the
// file (beyond the two bytes Qt keeps for a terminator).
std::optional<WaveData> parse(const QByteArray& file) {
    return parse_wave(QByteArray(file.constData(), file.size()));
}

// A wave file and, when it is to be read, what it holds.
struct WaveCase {
    const char* label;
    QByteArray file;
    int channels = 0;
    int rate = 0;
    WaveFormat::Sample sample = WaveFormat::Sample::UInt8;
    qsizetype pcm_bytes = 0;   // the first ones of samples()
};

void PrintTo(const WaveCase& wave, std::ostream* out) { *out << wave.label; }

class ParseValidWave : public ::testing::TestWithParam<WaveCase> {};

TEST_P(ParseValidWave, GivesTheFormatAndTheSamples) {
    const std::optional<WaveData> wave = parse(GetParam().file);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->format.channels, GetParam().channels);
    EXPECT_EQ(wave->format.sample_rate, GetParam().rate);
    EXPECT_EQ(wave->format.sample, GetParam().sample);
    EXPECT_EQ(wave->pcm, samples(GetParam().pcm_bytes));
}

constexpr auto kU8 = WaveFormat::Sample::UInt8;
constexpr auto kS16 = WaveFormat::Sample::Int16;

INSTANTIATE_TEST_SUITE_P(
    Files, ParseValidWave,
    ::testing::Values(
        WaveCase{"Stereo8", simple_wave(64, {2, 11025, 8}), 2, 11025, kU8, 64},
        WaveCase{"Stereo32", simple_wave(64, {2, 48000, 32}), 2, 48000, WaveFormat::Sample::Int32, 64},
        WaveCase{"LowestRate", simple_wave(8, {1, 4000, 8}), 1, 4000, kU8, 8},
        WaveCase{"HighestRate", simple_wave(8, {1, 192000, 8}), 1, 192000, kU8, 8},
        WaveCase{"ExtensiblePcm", with_fmt(extensible_fmt_body(kStereo16, kPcmGuid)), 2, 44100,
                 kS16, 8},
        WaveCase{"OddChunksArePadded",
                 riff(chunk("junk", "12345") + kFmt + chunk("odd ", "x") +
                      chunk("data", samples(7)) + chunk("cue ", "abc")),
                 1, 8000, kU8, 7},
        WaveCase{"DataBeforeFmt", riff(kData + kFmt), 1, 8000, kU8, 10},
        WaveCase{"FirstFmtAndDataCount", riff(kFmt + kData + chunk("fmt ", fmt_body(kStereo16)) +
                                              chunk("data", samples(40))), 1, 8000, kU8, 10},
        WaveCase{"LongerFmtChunk", with_fmt(fmt_body({}) + le16(0)), 1, 8000, kU8, 10},
        WaveCase{"TruncatedDataKeepsWholeFramesOnly",
                 riff(chunk("fmt ", fmt_body(kStereo16)) + "data" + le32(1000) + samples(303)),
                 2, 44100, kS16, 300},
        WaveCase{"HostileDataSizeReadsToTheEnd",
                 riff(kFmt + "data" + le32(0xFFFFFFFF) + samples(20)), 1, 8000, kU8, 20},
        WaveCase{"WrongRiffSizeIsIgnored", "RIFF" + le32(3) + "WAVE" + kFmt + kData, 1, 8000,
                 kU8, 10}),
    kLabel);

class ParseRefusedWave : public ::testing::TestWithParam<WaveCase> {};

TEST_P(ParseRefusedWave, GivesNothing) {
    EXPECT_FALSE(parse(GetParam().file).has_value());
}

// A chunk before "fmt " whose size points past the end of the file.
QByteArray hidden_by(quint32 size) {
    return riff(chunk("LIST", {}, size) + kFmt + kData);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseRefusedWave,
    ::testing::Values(
        WaveCase{"CutBeforeTheWaveId", simple_wave().left(8)},
        WaveCase{"NotRiff", "RIFX" + simple_wave().mid(4)},
        WaveCase{"NotWave", simple_wave().replace(8, 4, "AVI ")},
        WaveCase{"NoFmt", riff(kData)},
        WaveCase{"NoData", riff(kFmt)},
        WaveCase{"LessThanOneFrame",
                 riff(chunk("fmt ", fmt_body(kStereo16)) + chunk("data", samples(3)))},
        // The bytes after this short "fmt " chunk would complete it.
        WaveCase{"ShortFmt",
                 riff(chunk("fmt ", fmt_body({}).left(14)) + le16(8) + "ab" + le32(0) + kData)},
        WaveCase{"FmtCutByTheEnd", riff(kData + "fmt " + le32(16) + fmt_body({}).left(10))},
        WaveCase{"FloatTag", with_fmt(fmt_body({1, 8000, 32, 3}))},
        WaveCase{"ExtensibleFloat", with_fmt(extensible_fmt_body({}, kFloatGuid))},
        WaveCase{"SubformatOutsideTheFmtChunk",
                 riff(kData + chunk("fmt ", extensible_fmt_body({}, kPcmGuid).left(24)) +
                      kPcmGuid)},
        WaveCase{"NoChannels", with_fmt(fmt_body({0, 8000, 8, 1, 1}))},
        WaveCase{"ThreeChannels", with_fmt(fmt_body({3, 8000, 8}))},
        WaveCase{"TwentyFourBits", with_fmt(fmt_body({1, 8000, 24}))},
        WaveCase{"RateTooLow", with_fmt(fmt_body({1, 3999, 8}))},
        WaveCase{"RateTooHigh", with_fmt(fmt_body({1, 192001, 8}))},
        WaveCase{"WrongBlockAlign", with_fmt(fmt_body({2, 8000, 16, 1, 2}))},
        WaveCase{"HostileSizeHidesTheRest", hidden_by(0xFFFFFFFE)},
        // With 32-bit offsets the walk would wrap round to the chunk after this header, or
        // to this chunk again and never end.
        WaveCase{"PaddedSizeThatWouldWrap", hidden_by(0xFFFFFFFF)},
        WaveCase{"SizeThatWouldWrapToItself", hidden_by(0xFFFFFFF8)}),
    kLabel);

TEST(ParseWave, RefusesMoreSamplesThanTheLimit) {
    const QByteArray largest(kMaxWavePcmBytes, 'a');
    EXPECT_EQ(parse_wave(riff(kFmt + chunk("data", largest))).value_or(WaveData{}).pcm.size(),
              kMaxWavePcmBytes);
    EXPECT_FALSE(parse_wave(riff(kFmt + chunk("data", largest + 'a'))).has_value());
}

// Whatever the bytes, the samples handed out lie inside them and come in whole frames.
void expect_sane(const QByteArray& bytes) {
    if (const std::optional<WaveData> wave = parse(bytes)) {
        EXPECT_GT(wave->pcm.size(), 0);
        EXPECT_EQ(wave->pcm.size() % wave->format.bytes_per_frame(), 0);
        EXPECT_TRUE(bytes.contains(wave->pcm));
    }
}

TEST(ParseWave, SurvivesRandomBytesAndDamagedFiles) {
    std::mt19937 random(20240611);
    const QByteArray good = riff(chunk("LIST", "INFOx") + chunk("fmt ", fmt_body(kStereo16)) +
                                 chunk("data", samples(40)));
    for (int round = 0; round < 2000; ++round) {
        QByteArray noise(qsizetype(random() % 80), '\0');
        for (char& c : noise) c = char(random());
        expect_sane(noise);
        expect_sane(riff(noise));
        QByteArray damaged = good;
        for (int hits = 0; hits < 3; ++hits) {
            damaged[qsizetype(random() % quint32(good.size()))] = char(random());
        }
        expect_sane(damaged.left(qsizetype(random() % quint32(good.size() + 1))));
    }
}

// The player, against no sound server, one that never answers, and a real one.

using Result = SoundPlayer::Result;
using namespace std::chrono_literals;

const QByteArray kLongWave = simple_wave(4 * 44100 * 5, kStereo16);   // 5 s
const QByteArray kShortWave = simple_wave(4 * 441, kStereo16);        // 10 ms

bool eventually(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(3000)) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Sets a variable while it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() { had_ ? qputenv(name_, previous_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

// Points libpulse at a socket in a temporary folder, so that no sound server of this machine
// is reached and nothing is written outside the folder.
class SoundServerFolder {
public:
    QString socket() const { return folder_.filePath("native"); }

private:
    QTemporaryDir folder_;
    ScopedVariable server_{"PULSE_SERVER", "unix:" + socket().toUtf8()};
    ScopedVariable runtime_{"PULSE_RUNTIME_PATH", folder_.path().toUtf8()};
    ScopedVariable xdg_runtime_{"XDG_RUNTIME_DIR", folder_.path().toUtf8()};
    ScopedVariable home_{"HOME", folder_.path().toUtf8()};
};

// A PulseAudio server on the folder's socket, with a silent output when asked for.
class PulseServer {
public:
    PulseServer(const SoundServerFolder& folder, bool with_output) : socket_(folder.socket()) {
        QStringList arguments{"--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                              "--log-level=error"};
        if (with_output) arguments << "-L" << "module-null-sink";
        arguments << "-L" << "module-native-protocol-unix auth-anonymous=1 socket=" + socket_;
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start("pulseaudio", arguments);
    }
    ~PulseServer() { kill(); }

    bool listening() const {
        return eventually([this] { return QFile::exists(socket_); });
    }
    int playback_streams() const {
        QProcess list;
        list.start("pactl", {"-s", socket_, "list", "short", "sink-inputs"});
        list.waitForFinished(3000);
        return int(list.readAllStandardOutput().count('\n'));
    }
    void kill() {
        server_.kill();
        server_.waitForFinished(3000);
    }

private:
    QString socket_;
    QProcess server_;
};

int running_threads() {
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// The server drops a stream that was cut off or stopped a moment after the player did.
bool streams_become(const PulseServer& server, int streams) {
    return eventually([&] { return server.playback_streams() == streams; });
}

class WithPulseServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty()) {
            GTEST_SKIP() << "pulseaudio is not installed here (tools/install-deps.sh test installs it)";
        }
    }
};

TEST(SoundPlayer, WithoutAServerStaysSilentAndAnswersAtOnce) {
    const SoundServerFolder folder;
    SoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(player.play(simple_wave(8000)), Result::NoDevice);
        EXPECT_FALSE(player.is_playing());
    }
    EXPECT_EQ(player.play("RIFF junk that goes on"), Result::BadWave);
    EXPECT_LT(timer.elapsed(), 100);
    EXPECT_EQ(player.requests(), 6);
}

// A socket that takes connections and never answers: one short wait, then silence without
// waiting until it is time to try again.
TEST(SoundPlayer, AServerThatNeverAnswersCostsOneShortWait) {
    const SoundServerFolder folder;
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, folder.socket().toUtf8().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 8), 0);
    {
        SoundPlayer player;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(player.play(kShortWave), Result::NoDevice);
        EXPECT_LT(timer.elapsed(), 100);
        timer.restart();
        for (int round = 0; round < 20; ++round) {
            EXPECT_EQ(player.play(kShortWave), Result::NoDevice);
        }
        EXPECT_LT(timer.elapsed(), 100);
    }
    close(listener);
}

TEST_F(WithPulseServer, PlaysOneWaveAtATimeRefusesOtherBytesAndGoesAwayWhilePlaying) {
    const SoundServerFolder folder;
    const PulseServer server(folder, true);
    ASSERT_TRUE(server.listening());
    ASSERT_TRUE(streams_become(server, 0));
    const int threads = running_threads();
    auto owner = std::make_unique<QObject>();
    auto* player = new SoundPlayer(owner.get());
    EXPECT_EQ(player->play(kLongWave), Result::Started);
    EXPECT_TRUE(player->is_playing());
    EXPECT_TRUE(streams_become(server, 1));
    EXPECT_EQ(player->play(kShortWave), Result::Started);   // cuts off the long one
    EXPECT_TRUE(eventually([&] { return !player->is_playing(); }));
    EXPECT_TRUE(streams_become(server, 0));

    EXPECT_EQ(player->play(simple_wave(22050 * 2, {2, 22050, 8})), Result::Started);
    EXPECT_EQ(player->play("RIFF junk that goes on"), Result::BadWave);
    EXPECT_FALSE(player->is_playing());
    EXPECT_TRUE(streams_become(server, 0));

    EXPECT_EQ(player->play(kLongWave), Result::Started);
    player->stop();
    EXPECT_FALSE(player->is_playing());
    EXPECT_TRUE(streams_become(server, 0));

    EXPECT_EQ(player->play(kLongWave), Result::Started);
    EXPECT_EQ(player->requests(), 6);
    owner.reset();
    EXPECT_EQ(running_threads(), threads);
    EXPECT_TRUE(streams_become(server, 0));
}

TEST_F(WithPulseServer, AServerWithoutAnOutputIsNoDevice) {
    const SoundServerFolder folder;
    const PulseServer server(folder, false);
    ASSERT_TRUE(server.listening());
    SoundPlayer player;
    EXPECT_EQ(player.play(kShortWave), Result::NoDevice);
    EXPECT_FALSE(player.is_playing());
}

TEST_F(WithPulseServer, AServerThatDiesWhilePlayingEndsTheSoundAndLeavesSilence) {
    const SoundServerFolder folder;
    PulseServer server(folder, true);
    ASSERT_TRUE(server.listening());
    SoundPlayer player;
    ASSERT_EQ(player.play(kLongWave), Result::Started);
    server.kill();
    EXPECT_TRUE(eventually([&] { return !player.is_playing(); }));
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 5; ++round) {
        const Result result = player.play(kShortWave);
        EXPECT_TRUE(result == Result::NoDevice || result == Result::DeviceError);
    }
    EXPECT_LT(timer.elapsed(), 100);
    EXPECT_FALSE(player.is_playing());
}

}  // namespace
