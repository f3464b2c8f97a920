#include "presentation/lcd.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace {

struct Window final : DigitOwner {
    int repaints = 0;
    void show_digit(DigitImage&) override { ++repaints; }
};

std::string shown(lcd& display) {
    std::string digits;
    for (int k = 1; k <= display.digit_count(); ++k) digits += display.digit_image(k).picture.substr(3);
    return digits;
}

struct ValueCase {
    int value;
    const char* digits;
    friend void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.value; }
};

class ScoreDigits : public ::testing::TestWithParam<ValueCase> {};

}  // namespace

TEST_P(ScoreDigits, ShowTheLastFourDigitsWithLeadingZeros) {
    Window window;
    lcd display(window, 0, 4, 382, 45, 30, 45);
    display.set_value(GetParam().value);
    EXPECT_EQ(shown(display), GetParam().digits);
    EXPECT_EQ(display.get_value(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, ScoreDigits,
                         ::testing::Values(ValueCase{7, "0007"}, ValueCase{9999, "9999"}, ValueCase{10000, "0000"},
                                           ValueCase{12345, "2345"}, ValueCase{560, "0560"}));

TEST(ScoreDisplay, ANegativeValueLeavesTheNegativePlacesAsTheyWere) {
    Window window;
    lcd display(window, 0, 4, 382, 45, 30, 45);
    display.set_value(1234);
    display.set_value(-5);
    EXPECT_EQ(shown(display), "0004");  // -5: places 0, 0, 0 shown as 0, the last one is negative
    display.set_value(-1234);
    EXPECT_EQ(shown(display), "0004");
}

TEST(ScoreDisplay, DigitsStandLeftToRightAtTheirConstructedPlaces) {
    Window window;
    lcd display(window, 0, 4, 382, 45, 30, 45);
    std::vector<int> lefts;
    for (int k = 1; k <= 4; ++k) {
        lefts.push_back(display.digit_image(k).left);
        EXPECT_EQ(display.digit_image(k).picture, "lcd0");
        EXPECT_EQ(display.digit_image(k).top, 45);
        EXPECT_EQ(display.digit_image(k).width, 30);
        EXPECT_EQ(display.digit_image(k).height, 45);
    }
    EXPECT_EQ(lefts, (std::vector<int>{382, 412, 442, 472}));
    EXPECT_GT(window.repaints, 0);
}

TEST(ScoreDisplay, ConstructionWithAValueShowsIt) {
    Window window;
    lcd display(window, 305, 4, 0, 0, 30, 45);
    EXPECT_EQ(shown(display), "0305");
}

TEST(ScoreDisplay, LayoutCentresTheDigitsInTheBandAndKeepsTheConstructedSize) {
    Window window;
    lcd display(window, 0, 4, 382, 45, 30, 45);
    for (const auto& [height, top] : std::vector<std::pair<int, int>>{{45, 25}, {47, 24}, {99, -1}}) {
        display.place_digits_vertically(height, 96);
        EXPECT_EQ(display.digit_image(3).top, top) << height;
        EXPECT_EQ(display.digit_image(3).height, height);
    }
    display.place_digits_horizontally(20);
    EXPECT_EQ(display.digit_image(1).left, 382);
    EXPECT_EQ(display.digit_image(4).left, 442);
    EXPECT_EQ(display.digit_image(4).width, 20);
    EXPECT_EQ(display.get_digit_width(), 30);
    EXPECT_EQ(display.get_digit_height(), 45);
}
