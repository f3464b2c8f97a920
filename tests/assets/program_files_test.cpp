#include "picture_checks.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

QByteArray file_bytes(const QString& folder, const QString& name) {
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct IconEntry {
    int width;
    int height;
    QByteArray data;
};

// The directory of an ICO file; empty when it is not one or an entry lies outside the file.
std::vector<IconEntry> icon_entries(const QByteArray& ico) {
    const auto u16 = [&ico](qsizetype at) { return qFromLittleEndian<std::uint16_t>(ico.constData() + at); };
    const auto u32 = [&ico](qsizetype at) { return qFromLittleEndian<std::uint32_t>(ico.constData() + at); };
    if (ico.size() < 6 || u16(0) != 0 || u16(2) != 1)
        return {};
    std::vector<IconEntry> entries;
    for (qsizetype i = 0; i < u16(4); ++i) {
        const qsizetype at = 6 + 16 * i;
        if (at + 16 > ico.size())
            return {};
        const qsizetype size = u32(at + 8);
        const qsizetype offset = u32(at + 12);
        if (offset > ico.size() || size > ico.size() - offset)
            return {};
        const auto side = [](char byte) { return byte == 0 ? 256 : static_cast<std::uint8_t>(byte); };
        entries.push_back({side(ico[at]), side(ico[at + 1]), ico.mid(offset, size)});
    }
    return entries;
}

TEST(ProgramIcon, HoldsSixteenThirtyTwoAndFortyEightPixelPictures) {
    const std::vector<IconEntry> entries = icon_entries(file_bytes(QUORVEL_GAME_DIR, "LV!.ico"));
    ASSERT_EQ(entries.size(), 3U);
    const int sides[] = {16, 32, 48};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].width, sides[i]);
        EXPECT_EQ(entries[i].height, sides[i]);
        const QImage picture = QImage::fromData(entries[i].data);
        ASSERT_FALSE(picture.isNull()) << "entry " << i;
        EXPECT_EQ(picture.size(), QSize(sides[i], sides[i]));
        EXPECT_TRUE(picture.hasAlphaChannel());
    }
}

TEST(ProgramIcon, ReadsAsAnIconFile) {
    QImageReader reader(QDir(QUORVEL_GAME_DIR).filePath("LV!.ico"));
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "no ICO reader in this Qt";
    EXPECT_EQ(reader.format(), "ico");
    EXPECT_EQ(reader.imageCount(), 3);
    EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
}

class BoardCursor : public testing::TestWithParam<const char*> {};

// Topmost drawn pixel: where the tip of the index finger, the hot spot, has to be.
QPoint top_of_drawing(const QImage& cursor) {
    for (int y = 0; y < cursor.height(); ++y)
        for (int x = 0; x < cursor.width(); ++x)
            if (qAlpha(cursor.pixel(x, y)) > 128)
                return {x, y};
    return {-1, -1};
}

TEST_P(BoardCursor, IsAThirtyTwoPixelPictureWithTheFingerTipAtTheHotSpot) {
    const QImage cursor(QDir(QUORVEL_CURSOR_DIR).filePath(GetParam()));
    ASSERT_FALSE(cursor.isNull());
    EXPECT_EQ(cursor.size(), QSize(32, 32));
    ASSERT_TRUE(cursor.hasAlphaChannel());
    EXPECT_EQ(qAlpha(cursor.pixel(31, 0)), 0);
    EXPECT_EQ(qAlpha(cursor.pixel(0, 31)), 0);
    const QPoint tip = top_of_drawing(cursor);
    EXPECT_NEAR(tip.x(), 10, 2);
    EXPECT_NEAR(tip.y(), 1, 1);
}

INSTANTIATE_TEST_SUITE_P(Cursors, BoardCursor,
                         testing::Values("pickhand.png", "pickhand2.png", "nohand.png"));

TEST(BoardCursors, CanBeToldApart) {
    const QImage pick(QDir(QUORVEL_CURSOR_DIR).filePath("pickhand.png"));
    const QImage active(QDir(QUORVEL_CURSOR_DIR).filePath("pickhand2.png"));
    const QImage refused(QDir(QUORVEL_CURSOR_DIR).filePath("nohand.png"));
    EXPECT_GT(pixels_differing(pick, active, 40), 40);
    EXPECT_GT(pixels_differing(pick, refused, 40), 40);
    EXPECT_GT(pixels_differing(active, refused, 40), 40);
}

}  // namespace
