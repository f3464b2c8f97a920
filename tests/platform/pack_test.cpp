#include "archive_fixtures.h"
#include "platform/resource_module.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct PackRun {
    int exit_code = -1;
    QString output;   // standard output and error together
};

PackRun run_pack(const QStringList& arguments) {
    QProcess pack;
    pack.setProcessChannelMode(QProcess::MergedChannels);
    pack.start(QStringLiteral(QUORVEL_PACK_EXECUTABLE), arguments);
    const bool finished = pack.waitForFinished(60000);
    const PackRun run{finished && pack.exitStatus() == QProcess::NormalExit ? pack.exitCode() : -1,
                      QString::fromLocal8Bit(pack.readAll())};
    return run;
}

class PackCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir::current().mkpath("source/bitmaps"));
        ASSERT_TRUE(QDir::current().mkpath("source/waves"));
    }

    TemporaryWorkingFolder folder_;
};

TEST_F(PackCommand, PacksPicturesWavesAndStrings) {
    ASSERT_TRUE(test_picture().save("source/bitmaps/red0005.png"));
    ASSERT_TRUE(test_picture().save("source/bitmaps/main1.bmp"));
    write_file_bytes("source/bitmaps/notes.txt", "not a picture, and not picked up");
    write_file_bytes("source/waves/drop.wav", wave_bytes(800));
    write_file_bytes("source/strings.txt", "1\tGr\xC3\xBC\xC3\x9F" "e\\nzwei\nnot a line\n");

    const PackRun run = run_pack({"style.lvr", "source"});
    ASSERT_EQ(run.exit_code, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("red0005")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("line 2")) << run.output.toStdString();

    const auto module = ResourceModule::open("style.lvr");
    ASSERT_NE(module, nullptr);
    const std::optional<QImage> red = module->bitmap("red0005");
    ASSERT_TRUE(red.has_value());
    EXPECT_EQ(red->convertToFormat(QImage::Format_ARGB32), test_picture());
    const std::optional<QImage> frame = module->bitmap("main1");
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->size(), test_picture().size());
    EXPECT_EQ(module->bitmap("notes"), std::nullopt);
    EXPECT_EQ(module->wave("drop"), wave_bytes(800));
    EXPECT_EQ(module->string(1), QStringLiteral("Grüße\nzwei"));
}

struct PackFailure {
    const char* label;
    void (*prepare)();
    QStringList arguments;
    const char* message;
};

void PrintTo(const PackFailure& test, std::ostream* out) { *out << test.label; }

class PackCommandFailure : public PackCommand, public ::testing::WithParamInterface<PackFailure> {};

TEST_P(PackCommandFailure, ExitsWithAnErrorAndWritesNothing) {
    GetParam().prepare();
    const PackRun run = run_pack(GetParam().arguments);
    EXPECT_NE(run.exit_code, 0);
    EXPECT_TRUE(run.output.contains(GetParam().message)) << run.output.toStdString();
    EXPECT_FALSE(QFile::exists("style.lvr"));
}

INSTANTIATE_TEST_SUITE_P(
    PackCommand, PackCommandFailure,
    ::testing::Values(
        PackFailure{"MissingFolder", [] {}, {"style.lvr", "no such folder"}, "no such folder"},
        PackFailure{"UnreadablePicture",
                    [] { write_file_bytes("source/bitmaps/broken.png", "PNG? no."); },
                    {"style.lvr", "source"}, "broken.png"},
        PackFailure{"NotAWave",
                    [] { write_file_bytes("source/waves/drop.wav", "RIFF but nothing else"); },
                    {"style.lvr", "source"}, "drop.wav"},
        PackFailure{"TwoPicturesOneName",
                    [] {
                        test_picture().save("source/bitmaps/red0005.png");
                        test_picture().save("source/bitmaps/red0005.bmp");
                    },
                    {"style.lvr", "source"}, "red0005"},
        PackFailure{"NothingToPack", [] {}, {"style.lvr", "source"}, "nothing to pack"},
        PackFailure{"WrongArguments", [] {}, {"style.lvr"}, "usage"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
