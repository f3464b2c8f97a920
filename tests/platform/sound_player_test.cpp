#include "platform/sound_player.h"
#include "platform/wave_format.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <random>

namespace {

// A small RIFF WAVE writer: every size can be made to lie.

QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char* id, const QByteArray& body, std::optional<quint32> declared = {}) {
    QByteArray bytes = id + le32(declared.value_or(quint32(body.size()))) + body;
    return body.size() % 2 == 1 ? bytes + '\0' : bytes;
}

QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

struct Layout {
    quint16 channels = 1;
    quint32 rate = 8000;
    quint16 bits = 8;
    quint16 tag = 1;
    quint16 block_align = 0;   // 0: the right one
};

QByteArray fmt_body(const Layout& layout) {
    const quint16 block = layout.block_align ? layout.block_align
                                             : quint16(layout.channels * layout.bits / 8);
    return le16(layout.tag) + le16(layout.channels) + le32(layout.rate) +
           le32(layout.rate * block) + le16(block) + le16(layout.bits);
}

const QByteArray kPcmGuid = QByteArray::fromHex("0100000000001000800000aa00389b71");
const QByteArray kFloatGuid = QByteArray::fromHex("0300000000001000800000aa00389b71");

QByteArray extensible_fmt_body(Layout layout, const QByteArray& subformat) {
    layout.tag = 0xFFFE;
    return fmt_body(layout) + le16(22) + le16(layout.bits) + le32(layout.channels == 2 ? 3 : 4) +
           subformat;
}

QByteArray samples(qsizetype count) {
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        bytes[i] = char(i * 37 % 251);
    }
    return bytes;
}

QByteArray simple_wave(qsizetype sample_bytes = 64, const Layout& layout = {}) {
    return riff(chunk("fmt ", fmt_body(layout)) + chunk("data", samples(sample_bytes)));
}

struct ValidCase {
    const char* name;
    QByteArray file;
    int channels;
    int rate;
    QAudioFormat::SampleFormat sample_format;
    QByteArray pcm;
};

void PrintTo(const ValidCase& wave, std::ostream* out) {
    *out << wave.name;
}

class ParseValidWave : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ParseValidWave, GivesTheFormatAndTheSamples) {
    const std::optional<WaveData> wave = parse_wave(GetParam().file);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->format.channelCount(), GetParam().channels);
    EXPECT_EQ(wave->format.sampleRate(), GetParam().rate);
    EXPECT_EQ(wave->format.sampleFormat(), GetParam().sample_format);
    EXPECT_EQ(wave->pcm, GetParam().pcm);
}

const Layout kStereo16{2, 44100, 16};

INSTANTIATE_TEST_SUITE_P(
    Files, ParseValidWave,
    ::testing::Values(
        ValidCase{"Mono8", simple_wave(64), 1, 8000, QAudioFormat::UInt8, samples(64)},
        ValidCase{"Stereo8", simple_wave(64, {2, 11025, 8}), 2, 11025, QAudioFormat::UInt8,
                  samples(64)},
        ValidCase{"Mono16", simple_wave(64, {1, 22050, 16}), 1, 22050, QAudioFormat::Int16,
                  samples(64)},
        ValidCase{"Stereo16", simple_wave(64, kStereo16), 2, 44100, QAudioFormat::Int16,
                  samples(64)},
        ValidCase{"Stereo32", simple_wave(64, {2, 48000, 32}), 2, 48000, QAudioFormat::Int32,
                  samples(64)},
        ValidCase{"LowestRate", simple_wave(8, {1, 4000, 8}), 1, 4000, QAudioFormat::UInt8,
                  samples(8)},
        ValidCase{"HighestRate", simple_wave(8, {1, 192000, 8}), 1, 192000, QAudioFormat::UInt8,
                  samples(8)},
        ValidCase{"ExtensiblePcm",
                  riff(chunk("fmt ", extensible_fmt_body(kStereo16, kPcmGuid)) +
                       chunk("data", samples(40))),
                  2, 44100, QAudioFormat::Int16, samples(40)},
        ValidCase{"ListChunkBeforeData",
                  riff(chunk("fmt ", fmt_body({})) + chunk("LIST", "INFOISFT" + le32(3) + "abc") +
                       chunk("data", samples(10))),
                  1, 8000, QAudioFormat::UInt8, samples(10)},
        ValidCase{"OddChunksArePadded",
                  riff(chunk("junk", "12345") + chunk("fmt ", fmt_body({})) +
                       chunk("odd ", "x") + chunk("data", samples(7)) + chunk("cue ", "abc")),
                  1, 8000, QAudioFormat::UInt8, samples(7)},
        ValidCase{"DataBeforeFmt",
                  riff(chunk("data", samples(12)) + chunk("fmt ", fmt_body({}))), 1, 8000,
                  QAudioFormat::UInt8, samples(12)},
        ValidCase{"LongerFmtChunk", riff(chunk("fmt ", fmt_body({}) + le16(0)) +
                                         chunk("data", samples(6))),
                  1, 8000, QAudioFormat::UInt8, samples(6)},
        ValidCase{"TruncatedDataKeepsWhatIsThere",
                  riff(chunk("fmt ", fmt_body({})) + "data" + le32(1000) + samples(300)), 1,
                  8000, QAudioFormat::UInt8, samples(300)},
        ValidCase{"TruncatedDataKeepsWholeFramesOnly",
                  riff(chunk("fmt ", fmt_body(kStereo16)) + "data" + le32(1000) + samples(303)),
                  2, 44100, QAudioFormat::Int16, samples(300)},
        ValidCase{"HostileDataSizeReadsToTheEnd",
                  riff(chunk("fmt ", fmt_body({})) + "data" + le32(0xFFFFFFFF) + samples(20)), 1,
                  8000, QAudioFormat::UInt8, samples(20)},
        ValidCase{"WrongRiffSizeIsIgnored",
                  "RIFF" + le32(3) + "WAVE" + chunk("fmt ", fmt_body({})) +
                      chunk("data", samples(5)),
                  1, 8000, QAudioFormat::UInt8, samples(5)}),
    [](const ::testing::TestParamInfo<ValidCase>& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    QByteArray file;
};

void PrintTo(const RefusedCase& wave, std::ostream* out) {
    *out << wave.name;
}

class ParseRefusedWave : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ParseRefusedWave, GivesNothing) {
    EXPECT_FALSE(parse_wave(GetParam().file).has_value());
}

QByteArray with_layout(const Layout& layout) {
    return simple_wave(64, layout);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseRefusedWave,
    ::testing::Values(
        RefusedCase{"Empty", QByteArray()},
        RefusedCase{"ThreeBytes", "RIF"},
        RefusedCase{"HeaderOnly", riff({})},
        RefusedCase{"NotRiff", "RIFX" + simple_wave().mid(4)},
        RefusedCase{"NotWave", simple_wave().replace(8, 4, "AVI ")},
        RefusedCase{"NoFmt", riff(chunk("data", samples(10)))},
        RefusedCase{"NoData", riff(chunk("fmt ", fmt_body({})))},
        RefusedCase{"EmptyData", riff(chunk("fmt ", fmt_body({})) + chunk("data", {}))},
        RefusedCase{"LessThanOneFrame",
                    riff(chunk("fmt ", fmt_body(kStereo16)) + chunk("data", samples(3)))},
        RefusedCase{"ShortFmt", riff(chunk("fmt ", fmt_body({}).left(14)) +
                                     chunk("data", samples(10)))},
        RefusedCase{"FmtCutByTheEnd", riff(chunk("data", samples(10)) + "fmt " + le32(16) +
                                           fmt_body({}).left(10))},
        RefusedCase{"FloatTag", with_layout({1, 8000, 32, 3})},
        RefusedCase{"CompressedTag", with_layout({1, 8000, 16, 2})},
        RefusedCase{"ExtensibleFloat", riff(chunk("fmt ", extensible_fmt_body({}, kFloatGuid)) +
                                            chunk("data", samples(10)))},
        RefusedCase{"ExtensibleWithoutSubformat",
                    riff(chunk("fmt ", extensible_fmt_body({}, kPcmGuid).left(18)) +
                         chunk("data", samples(10)))},
        RefusedCase{"NoChannels", with_layout({0, 8000, 8, 1, 1})},
        RefusedCase{"ThreeChannels", with_layout({3, 8000, 8})},
        RefusedCase{"TwentyFourBits", with_layout({1, 8000, 24})},
        RefusedCase{"TwelveBits", with_layout({1, 8000, 12, 1, 2})},
        RefusedCase{"RateTooLow", with_layout({1, 3999, 8})},
        RefusedCase{"RateTooHigh", with_layout({1, 192001, 8})},
        RefusedCase{"WrongBlockAlign", with_layout({2, 8000, 16, 1, 2})},
        RefusedCase{"HostileFmtSize",
                    riff("fmt " + le32(0xFFFFFFFF) + fmt_body({}) + chunk("data", samples(10)))},
        RefusedCase{"HostileSizeHidesTheRest",
                    riff(chunk("LIST", {}, 0xFFFFFFFE) + chunk("fmt ", fmt_body({})) +
                         chunk("data", samples(10)))},
        // With 32-bit offsets the walk would wrap round to the chunk after this header, or
        // to this chunk again and never end.
        RefusedCase{"PaddedSizeThatWouldWrap",
                    riff(chunk("LIST", {}, 0xFFFFFFFF) + chunk("fmt ", fmt_body({})) +
                         chunk("data", samples(10)))},
        RefusedCase{"SizeThatWouldWrapToItself",
                    riff(chunk("LIST", {}, 0xFFFFFFF8) + chunk("fmt ", fmt_body({})) +
                         chunk("data", samples(10)))}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(ParseWave, RefusesMoreSamplesThanTheLimit) {
    const QByteArray header = chunk("fmt ", fmt_body({}));
    const QByteArray at_limit = riff(header + chunk("data", QByteArray(kMaxWavePcmBytes, 'a')));
    const QByteArray over_limit =
        riff(header + chunk("data", QByteArray(kMaxWavePcmBytes + 1, 'a')));
    const std::optional<WaveData> largest = parse_wave(at_limit);
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->pcm.size(), kMaxWavePcmBytes);
    EXPECT_FALSE(parse_wave(over_limit).has_value());
}

// Whatever the bytes, the samples handed out lie inside them and come in whole frames.
void expect_sane(const QByteArray& bytes) {
    const std::optional<WaveData> wave = parse_wave(bytes);
    if (wave) {
        EXPECT_GT(wave->pcm.size(), 0);
        EXPECT_LE(wave->pcm.size(), bytes.size());
        EXPECT_EQ(wave->pcm.size() % wave->format.bytesPerFrame(), 0);
        EXPECT_TRUE(bytes.contains(wave->pcm));
    }
}

TEST(ParseWave, SurvivesRandomBytesAndDamagedFiles) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    const QByteArray good = riff(chunk("LIST", "INFOx") + chunk("fmt ", fmt_body(kStereo16)) +
                                 chunk("data", samples(40)));
    for (int round = 0; round < 2000; ++round) {
        QByteArray noise(qsizetype(random() % 80), '\0');
        for (char& c : noise) {
            c = char(byte(random));
        }
        expect_sane(noise);
        expect_sane(riff(noise));
        QByteArray damaged = good;
        for (int hits = 0; hits < 3; ++hits) {
            damaged[qsizetype(random() % quint32(damaged.size()))] = char(byte(random));
        }
        expect_sane(damaged.left(qsizetype(random() % quint32(damaged.size() + 1))));
    }
}

// The player: this machine may have no audio output, so "no device" is a right answer
// wherever a sound could start.

bool has_audio_output() {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void expect_started_if_there_is_an_output(SoundPlayer::Result result) {
    if (has_audio_output()) {
        EXPECT_EQ(result, SoundPlayer::Result::Started);
    } else {
        EXPECT_EQ(result, SoundPlayer::Result::NoDevice);
    }
}

void let_it_play(int milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
}

TEST(SoundPlayer, PlaysAValidWaveOrStaysSilentWithoutAnOutput) {
    SoundPlayer player;
    const SoundPlayer::Result result = player.play(simple_wave(8000));
    expect_started_if_there_is_an_output(result);
    EXPECT_EQ(player.is_playing(), result == SoundPlayer::Result::Started);
    player.stop();
    EXPECT_FALSE(player.is_playing());
}

TEST(SoundPlayer, RefusesWhatIsNoWave) {
    SoundPlayer player;
    EXPECT_EQ(player.play({}), SoundPlayer::Result::BadWave);
    EXPECT_EQ(player.play("RIFF junk that goes on"), SoundPlayer::Result::BadWave);
    EXPECT_FALSE(player.is_playing());
}

TEST(SoundPlayer, ANewSoundCutsOffTheOldOne) {
    SoundPlayer player;
    expect_started_if_there_is_an_output(player.play(simple_wave(80000, kStereo16)));
    let_it_play(20);
    expect_started_if_there_is_an_output(player.play(simple_wave(8000)));
    let_it_play(20);
    EXPECT_EQ(player.play("garbage"), SoundPlayer::Result::BadWave);
    EXPECT_FALSE(player.is_playing());
    expect_started_if_there_is_an_output(player.play(simple_wave(8000, {2, 22050, 8})));
}

TEST(SoundPlayer, GoesAwayCleanlyWhilePlaying) {
    auto owner = std::make_unique<QObject>();
    auto* owned = new SoundPlayer(owner.get());
    owned->play(simple_wave(80000));
    auto player = std::make_unique<SoundPlayer>();
    player->play(simple_wave(80000, kStereo16));
    let_it_play(20);
    player.reset();
    owner.reset();
    let_it_play(20);
}

}  // namespace
