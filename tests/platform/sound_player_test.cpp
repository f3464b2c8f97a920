#include "fixtures.h"
#include "platform/sound_player.h"
#include "platform/wave_format.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>

#include <memory>
#include <random>

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
    QAudioFormat::SampleFormat sample_format = QAudioFormat::Unknown;
    qsizetype pcm_bytes = 0;   // the first ones of samples()
};

void PrintTo(const WaveCase& wave, std::ostream* out) { *out << wave.label; }

class ParseValidWave : public ::testing::TestWithParam<WaveCase> {};

TEST_P(ParseValidWave, GivesTheFormatAndTheSamples) {
    const std::optional<WaveData> wave = parse(GetParam().file);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->format.channelCount(), GetParam().channels);
    EXPECT_EQ(wave->format.sampleRate(), GetParam().rate);
    EXPECT_EQ(wave->format.sampleFormat(), GetParam().sample_format);
    EXPECT_EQ(wave->pcm, samples(GetParam().pcm_bytes));
}

constexpr auto kU8 = QAudioFormat::UInt8;
constexpr auto kS16 = QAudioFormat::Int16;

INSTANTIATE_TEST_SUITE_P(
    Files, ParseValidWave,
    ::testing::Values(
        WaveCase{"Stereo8", simple_wave(64, {2, 11025, 8}), 2, 11025, kU8, 64},
        WaveCase{"Stereo32", simple_wave(64, {2, 48000, 32}), 2, 48000, QAudioFormat::Int32, 64},
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
        EXPECT_EQ(wave->pcm.size() % wave->format.bytesPerFrame(), 0);
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

// This machine may have no audio output: "no device" is then the right answer wherever a
// sound could start.
TEST(SoundPlayer, PlaysOneWaveAtATimeRefusesOtherBytesAndGoesAwayWhilePlaying) {
    using Result = SoundPlayer::Result;
    const Result started =
        QMediaDevices::defaultAudioOutput().isNull() ? Result::NoDevice : Result::Started;
    auto owner = std::make_unique<QObject>();
    auto* player = new SoundPlayer(owner.get());
    EXPECT_EQ(player->play(simple_wave(80000, kStereo16)), started);
    EXPECT_EQ(player->is_playing(), started == Result::Started);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(player->play(simple_wave(8000)), started);   // cuts off the first
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(player->play("RIFF junk that goes on"), Result::BadWave);
    EXPECT_FALSE(player->is_playing());
    EXPECT_EQ(player->play(simple_wave(8000, {2, 22050, 8})), started);
    player->stop();
    EXPECT_FALSE(player->is_playing());
    EXPECT_EQ(player->play(simple_wave(80000)), started);
    EXPECT_EQ(player->requests(), 5);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    owner.reset();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace
