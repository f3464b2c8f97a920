#include "picture_checks.h"
#include "style_contract.h"
#include "wave_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const QRect kStoneCentre(12, 12, 16, 16);
const QPoint kBesideTheStone(2, 20);  // on the field, just left of a resting stone

class StandardStyle : public testing::TestWithParam<const char*> {
protected:
    const LoadedStyle& style() const { return standard_style(GetParam()); }
    QImage bitmap(const QString& name) const {
        const auto found = style().bitmaps.find(name);
        return found == style().bitmaps.end() ? QImage() : found->second;
    }
    QString string(int id) const { return style().module->string(id).value_or("(missing)"); }
};

QString framed(const QString& kind, int frame) {
    return kind + QStringLiteral("%1").arg(frame, 4, 10, QLatin1Char('0'));
}

std::vector<QString> stone_kinds() {
    std::vector<QString> kinds = colour_words();
    kinds.insert(kinds.end(), {"joker", "quest", "dynamit"});
    return kinds;
}

// Vertical centre of the red stone's body in a picture.
double red_body_height(const QImage& picture) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qRed(p) > 120 && qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p)) {
                sum += y;
                ++count;
            }
        }
    return count > 0 ? sum / count : -1.0;
}

TEST_P(StandardStyle, HoldsEveryBitmapOfTheContractAtItsSize) {
    ASSERT_NE(style().module, nullptr) << "cannot open " << GetParam();
    for (const ExpectedBitmap& expected : expected_bitmaps()) {
        const QImage picture = bitmap(expected.name);
        ASSERT_FALSE(picture.isNull()) << expected.name.toStdString() << " is missing";
        if (!expected.size.isEmpty()) {
            EXPECT_EQ(picture.size(), expected.size) << expected.name.toStdString();
        }
    }
    EXPECT_GE(bitmap("title").width(), 200);
    EXPECT_GE(bitmap("title").height(), 150);
}

TEST_P(StandardStyle, LayoutStringsGiveFortyPixelFieldsAndThirtyByFortyFiveDigits) {
    ASSERT_NE(style().module, nullptr);
    EXPECT_EQ(string(1), "40");
    EXPECT_EQ(string(2), "45");
    EXPECT_EQ(string(3), "30");
}

TEST_P(StandardStyle, EveryStonePictureLiesOnTheEmptyField) {
    const QImage empty = bitmap("empty");
    ASSERT_FALSE(empty.isNull());
    const std::vector<QRect> corners{{0, 0, 4, 4}, {36, 0, 4, 4}, {0, 36, 4, 4}, {36, 36, 4, 4}};
    for (const QString& name : field_picture_names()) {
        const QImage picture = bitmap(name);
        ASSERT_FALSE(picture.isNull()) << name.toStdString();
        for (const QRect& corner : corners)
            EXPECT_EQ(pixels_differing(picture.copy(corner), empty.copy(corner), 12), 0)
                << name.toStdString() << " corner " << corner.x() << "," << corner.y();
    }
}

TEST_P(StandardStyle, RestingColoursAreClearlyDifferent) {
    const std::vector<QString> words = colour_words();
    for (std::size_t a = 0; a < words.size(); ++a)
        for (std::size_t b = a + 1; b < words.size(); ++b) {
            const QColor one = mean_colour(bitmap(framed(words[a], 5)), kStoneCentre);
            const QColor other = mean_colour(bitmap(framed(words[b], 5)), kStoneCentre);
            EXPECT_GT(colour_distance(one, other), 60.0)
                << words[a].toStdString() << " and " << words[b].toStdString();
        }
}

TEST_P(StandardStyle, AppearanceFramesGrowTowardsTheRestingStone) {
    const QImage empty = bitmap("empty");
    for (const QString& kind : stone_kinds()) {
        int previous = 0;
        for (int frame = 0; frame <= 5; ++frame) {
            const int covered = pixels_differing(bitmap(framed(kind, frame)), empty, 40);
            EXPECT_GT(covered, previous) << framed(kind, frame).toStdString();
            previous = covered;
        }
    }
}

TEST_P(StandardStyle, SelectedStoneGlowsOnItsField) {
    const QColor field = bitmap("empty").pixelColor(kBesideTheStone);
    for (const QString& kind : stone_kinds()) {
        EXPECT_LT(colour_distance(bitmap(framed(kind, 5)).pixelColor(kBesideTheStone), field), 12)
            << kind.toStdString() << " glows at rest";
        for (int frame = 6; frame <= 10; ++frame)
            EXPECT_GT(colour_distance(bitmap(framed(kind, frame)).pixelColor(kBesideTheStone), field),
                      30)
                << framed(kind, frame).toStdString();
    }
}

TEST_P(StandardStyle, SelectedStoneHopsUpAndLandsAgain) {
    std::vector<double> height;
    for (int frame = 5; frame <= 10; ++frame)
        height.push_back(red_body_height(bitmap(framed("red", frame))));
    ASSERT_TRUE(std::all_of(height.begin(), height.end(), [](double h) { return h > 0; }));
    // Frames 6 to 10 run as a cycle: on the ground, up, top, top, down, and back to the ground.
    const double rest = height[0];
    EXPECT_NEAR(height[1], rest, 1.5);
    EXPECT_LT(height[2], rest - 1.5);
    EXPECT_LT(height[3], rest - 2.5);
    EXPECT_LT(height[4], rest - 2.5);
    EXPECT_LT(height[5], rest - 1.5);
    EXPECT_LT(std::max(height[3], height[4]), std::min(height[2], height[5]));
}

TEST_P(StandardStyle, SoundsAreShortSoftMonoPcmWaves) {
    ASSERT_NE(style().module, nullptr);
    for (const char* name : {"plop_up", "plop_away", "error"}) {
        const std::optional<QByteArray> bytes = style().module->wave(QString::fromLatin1(name));
        ASSERT_TRUE(bytes) << name << " is missing";
        const std::optional<Wave> wave = read_wave(*bytes);
        ASSERT_TRUE(wave) << name << " is no RIFF WAVE file";
        EXPECT_EQ(wave->format, 1);
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->sample_rate, 22050);
        EXPECT_EQ(wave->bits, 16);
        EXPECT_GT(wave->seconds(), 0.05);
        EXPECT_LT(wave->seconds(), 0.5);
        const auto& s = wave->samples;
        ASSERT_FALSE(s.empty());
        const auto [low, high] = std::minmax_element(s.begin(), s.end());
        EXPECT_LT(std::max(-int{*low}, int{*high}), 16384) << name << " is loud";
        EXPECT_LT(std::abs(s.front()) + std::abs(s.back()), 300) << name << " clicks";
        int largest_step = 0;
        for (std::size_t i = 1; i < s.size(); ++i)
            largest_step = std::max(largest_step, std::abs(s[i] - s[i - 1]));
        EXPECT_LT(largest_step, 8000) << name << " jumps";
    }
}

// Crossings of the zero line per second: a rough measure of pitch and hiss.
double zero_crossing_rate(const Wave& wave) {
    int crossings = 0;
    for (std::size_t i = 1; i < wave.samples.size(); ++i)
        crossings += (wave.samples[i - 1] < 0) != (wave.samples[i] < 0);
    return crossings / wave.seconds();
}

TEST_P(StandardStyle, TheThreeSoundsAreClearlyDifferent) {
    ASSERT_NE(style().module, nullptr);
    std::vector<double> rates;
    for (const char* name : {"plop_up", "plop_away", "error"}) {
        const std::optional<Wave> wave =
            read_wave(style().module->wave(QString::fromLatin1(name)).value_or(QByteArray()));
        ASSERT_TRUE(wave) << name;
        rates.push_back(zero_crossing_rate(*wave));
    }
    for (std::size_t a = 0; a < rates.size(); ++a)
        for (std::size_t b = a + 1; b < rates.size(); ++b)
            EXPECT_GT(std::max(rates[a], rates[b]) / std::min(rates[a], rates[b]), 1.5)
                << "sounds " << a << " and " << b;
    EXPECT_LT(rates[2], 600.0) << "the error sound is a low buzz";
}

INSTANTIATE_TEST_SUITE_P(BothStyles, StandardStyle,
                         testing::Values(kHighColourStyle, kLowColourStyle),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return info.index == 0 ? std::string("HighColour")
                                                    : std::string("LowColour");
                         });

}  // namespace
