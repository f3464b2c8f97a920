#include "fixtures.h"
#include "platform/resource_module.h"

#include <QProcess>

#include <vector>

namespace {

// The exit code, or -1 when the packer did not end normally, and its standard output and error
// together.
std::pair<int, QString> run_pack(const QStringList& arguments) {
    QProcess pack;
    pack.setProcessChannelMode(QProcess::MergedChannels);
    pack.start(QStringLiteral(QUORVEL_PACK_EXECUTABLE), arguments);
    const bool finished = pack.waitForFinished(60000);
    return {finished && pack.exitStatus() == QProcess::NormalExit ? pack.exitCode() : -1,
            QString::fromLocal8Bit(pack.readAll())};
}

class PackCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath("source/bitmaps") && QDir().mkpath("source/waves"));
    }

    TemporaryWorkingFolder folder_;
};

TEST_F(PackCommand, PacksPicturesWavesAndStrings) {
    ASSERT_TRUE(test_picture().save("source/bitmaps/red0005.png"));
    ASSERT_TRUE(test_picture().scaled(test_picture().size() * 2).save("source/bitmaps/red0005@2x.png"));
    ASSERT_TRUE(test_picture().save("source/bitmaps/main1.bmp"));
    write_file_bytes("source/bitmaps/notes.txt", "not a picture, and not picked up");
    write_file_bytes("source/waves/drop.wav", simple_wave(800));
    write_file_bytes("source/strings.txt", "1\tGr\xC3\xBC\xC3\x9F" "e\\nzwei\nnot a line\n");

    const auto [exit_code, output] = run_pack({"style.lvr", "source"});
    ASSERT_EQ(exit_code, 0) << output.toStdString();
    EXPECT_TRUE(output.contains("red0005") && output.contains("line 2")) << output.toStdString();

    const auto module = ResourceModule::open("style.lvr");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->bitmap("red0005").value().convertToFormat(QImage::Format_ARGB32),
              test_picture());
    EXPECT_EQ(module->bitmap("main1").value().size(), test_picture().size());
    EXPECT_EQ(module->bitmap("red0005@2x").value().size(), test_picture().size() * 2);
    EXPECT_EQ(module->wave("drop"), simple_wave(800));
    EXPECT_EQ(module->string(1), QStringLiteral("Grüße\nzwei"));
}

struct PackFailure {
    const char* label;
    std::vector<std::pair<QString, QByteArray>> files;   // written before packing
    QStringList arguments;
    const char* message;
};

void PrintTo(const PackFailure& test, std::ostream* out) { *out << test.label; }

class PackCommandFailure : public PackCommand, public ::testing::WithParamInterface<PackFailure> {};

TEST_P(PackCommandFailure, ExitsWithAnErrorAndWritesNothing) {
    for (const auto& [path, bytes] : GetParam().files) write_file_bytes(path, bytes);
    const auto [exit_code, output] = run_pack(GetParam().arguments);
    EXPECT_NE(exit_code, 0);
    EXPECT_TRUE(output.contains(GetParam().message)) << output.toStdString();
    EXPECT_FALSE(QFile::exists("style.lvr"));
}

const QStringList kPackSource{"style.lvr", "source"};

INSTANTIATE_TEST_SUITE_P(
    PackCommand, PackCommandFailure,
    ::testing::Values(
        PackFailure{"MissingFolder", {}, {"style.lvr", "no such folder"}, "no such folder"},
        PackFailure{"UnreadablePicture", {{"source/bitmaps/broken.png", "PNG? no."}}, kPackSource,
                    "broken.png"},
        PackFailure{"NotAWave", {{"source/waves/drop.wav", "RIFF but nothing else"}}, kPackSource,
                    "drop.wav"},
        // Pictures are decoded by content, so a one-pixel PBM does for both.
        PackFailure{"TwoPicturesOneName",
                    {{"source/bitmaps/red0005.png", "P1 1 1 1"},
                     {"source/bitmaps/red0005.bmp", "P1 1 1 1"}},
                    kPackSource, "red0005"},
        PackFailure{"SharpPictureNotTwiceThePlainOne",
                    {{"source/bitmaps/red0005.png", "P1 1 1 1"}, {"source/bitmaps/red0005@2x.png", "P1 3 2 1 1 1 1 1 1"}},
                    kPackSource, "red0005@2x is 3 x 2 pixels; it must be twice red0005, 2 x 2"},
        PackFailure{"SharpPictureAlone", {{"source/bitmaps/red0005@2x.png", "P1 1 1 1"}}, kPackSource,
                    "red0005@2x has no picture red0005"},
        PackFailure{"NothingToPack", {}, kPackSource, "nothing to pack"},
        PackFailure{"WrongArguments", {}, {"style.lvr"}, "usage"}),
    kLabel);

}  // namespace
