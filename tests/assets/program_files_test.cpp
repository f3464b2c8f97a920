#include "picture_checks.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Read entry by entry as a desktop reads an icon file: each entry names its size and points
// at a PNG picture inside the file.
TEST(ProgramIcon, HoldsSixteenThirtyTwoAndFortyEightPixelPicturesWithAlpha) {
    QFile file(QDir(QStringLiteral(QUORVEL_GAME_DIR)).filePath("LV!.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 6 + 3 * 16);
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    EXPECT_EQ(u16(0), 0);
    EXPECT_EQ(u16(2), 1) << "no icon file";
    ASSERT_EQ(u16(4), 3);
    for (int i = 0; i < 3; ++i) {
        const int side = 16 * (i + 1);
        const qsizetype entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<quint8>(ico[entry]), side) << "entry " << i;
        EXPECT_EQ(static_cast<quint8>(ico[entry + 1]), side) << "entry " << i;
        ASSERT_LE(u32(entry + 12) + qsizetype{u32(entry + 8)}, ico.size()) << "entry " << i;
        const QImage picture = QImage::fromData(ico.mid(u32(entry + 12), u32(entry + 8)));
        EXPECT_EQ(picture.size(), QSize(side, side)) << "entry " << i;
        EXPECT_TRUE(picture.hasAlphaChannel()) << "entry " << i;
    }
}

// Each board cursor's file, and what it tells the player.
const std::pair<std::string, std::string> kCursors[] = {
    {"pickhand.png", "NothingToDoHere"},
    {"pickhand2.png", "StoneCanBeTakenOrGoThere"},
    {"nohand.png", "StoneCannotGetThere"}};

QImage cursor(const std::string& file_name) {
    return QImage(QString::fromStdString(QUORVEL_CURSOR_DIR "/" + file_name));
}

class BoardCursor : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(BoardCursor, IsAThirtyTwoPixelHandWithItsFingerTipAtTheHotSpotUnlikeTheOthers) {
    const QImage picture = cursor(GetParam().first);
    ASSERT_EQ(picture.size(), QSize(32, 32));
    ASSERT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(qAlpha(picture.pixel(31, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(0, 31)), 0);
    QPoint tip(-1, -1);  // the topmost drawn pixel, where the hot spot is
    for (int at = 0; at < 32 * 32 && tip.x() < 0; ++at)
        if (qAlpha(picture.pixel(at % 32, at / 32)) > 128)
            tip = {at % 32, at / 32};
    EXPECT_NEAR(tip.x(), 10, 2);
    EXPECT_NEAR(tip.y(), 1, 1);
    for (const auto& [other, meaning] : kCursors)
        if (other != GetParam().first) {
            EXPECT_GT(pixels_differing(picture, cursor(other), 40), 40) << "looks like " << other;
        }
}

INSTANTIATE_TEST_SUITE_P(Cursors, BoardCursor, testing::ValuesIn(kCursors),
                         [](const auto& info) { return info.param.second; });

}  // namespace
