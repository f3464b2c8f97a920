#include "picture_checks.h"
#include "style_contract.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const LoadedStyle& high_colour() {
    return standard_style(kHighColourStyle);
}

const LoadedStyle& low_colour() {
    return standard_style(kLowColourStyle);
}

TEST(LowColourStyle, PicturesAreEightBitIndexedWithAtMost256Colours) {
    ASSERT_EQ(low_colour().bitmaps.size(), expected_bitmaps().size());
    for (const auto& [name, picture] : low_colour().bitmaps) {
        EXPECT_EQ(picture.format(), QImage::Format_Indexed8) << name.toStdString();
        EXPECT_LE(picture.colorCount(), 256) << name.toStdString();
    }
}

// A 256-colour screen shows all pictures at once, so together they use one palette.
TEST(LowColourStyle, AllPicturesTogetherUseAtMost256Colours) {
    std::set<QRgb> used;
    for (const auto& [name, picture] : low_colour().bitmaps)
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                used.insert(picture.pixel(x, y));
    EXPECT_GT(used.size(), 64U);
    EXPECT_LE(used.size(), 256U);
}

TEST(LowColourStyle, LooksLikeTheHighColourStyle) {
    ASSERT_EQ(high_colour().bitmaps.size(), low_colour().bitmaps.size());
    for (const auto& [name, full] : high_colour().bitmaps) {
        const QImage& reduced = low_colour().bitmaps.at(name);
        const QRect whole(QPoint(0, 0), full.size());
        EXPECT_LT(colour_distance(mean_colour(full, whole), mean_colour(reduced, whole)), 10.0)
            << name.toStdString();
        EXPECT_LT(pixels_differing(full, reduced, 48), full.width() * full.height() / 50)
            << name.toStdString();
    }
}

TEST(HighColourStyle, PicturesAreFullColour) {
    for (const auto& [name, picture] : high_colour().bitmaps)
        EXPECT_NE(picture.format(), QImage::Format_Indexed8) << name.toStdString();
}

// A style drawn for a depth above the screen's warns the player; the high-colour style must
// never do that, so it names no depth at all.
TEST(HighColourStyle, NamesNoColourDepth) {
    ASSERT_NE(high_colour().module, nullptr);
    EXPECT_FALSE(high_colour().module->string(4).has_value());
}

TEST(LowColourStyle, IsDrawnForEightBitScreens) {
    ASSERT_NE(low_colour().module, nullptr);
    EXPECT_EQ(low_colour().module->string(4).value_or("(missing)"), "8");
}

}  // namespace
