#include "engine/lcd.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

}  // namespace

// A negative value gives negative remainders in the places that are not 0, and those places keep
// the digit they showed before.
TEST(ScoreDisplay, ShowsTheLastFourDigitsWithLeadingZerosAndLeavesNegativePlacesAsTheyWere) {
    Window window;
    lcd display(window, 1234, 4, 382, 45, 30, 45);
    for (const auto& [value, digits] : std::vector<std::pair<int, std::string>>{
             {-5, "0004"}, {-1234, "0004"}, {7, "0007"}, {560, "0560"}, {9999, "9999"}, {10000, "0000"}, {12345, "2345"}}) {
        display.set_value(value);
        EXPECT_EQ(shown(display), digits) << value;
    }
}

TEST(ScoreDisplay, DigitsStandLeftToRightWhereConstructedAndLayoutCentresThemInTheBand) {
    Window window;
    lcd display(window, 305, 4, 382, 45, 30, 45);
    EXPECT_EQ(shown(display), "0305");
    EXPECT_GT(window.repaints, 0);
    std::vector<int> lefts;
    for (int k = 1; k <= 4; ++k) lefts.push_back(display.digit_image(k).left);
    EXPECT_EQ(lefts, (std::vector<int>{382, 412, 442, 472}));
    EXPECT_EQ(display.digit_image(2).top, 45);
    EXPECT_EQ(display.digit_image(2).width, 30);
    EXPECT_EQ(display.digit_image(2).height, 45);
    for (const auto& [height, top] : std::vector<std::pair<int, int>>{{45, 25}, {47, 24}, {99, -1}}) {
        display.place_digits_vertically(height, 96);
        EXPECT_EQ(display.digit_image(3).top, top) << height;
        EXPECT_EQ(display.digit_image(3).height, height);
    }
    display.place_digits_horizontally(20);
    EXPECT_EQ(display.digit_image(4).left, 442);
    EXPECT_EQ(display.digit_image(4).width, 20);
    EXPECT_EQ(display.get_digit_width(), 30);
    EXPECT_EQ(display.get_digit_height(), 45);
}
