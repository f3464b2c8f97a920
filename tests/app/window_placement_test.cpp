#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

const QSize kWindow(564, 503);
const QRect kPrimary(0, 0, 1920, 1080);
const QRect kRightScreen(1920, 0, 1280, 1024);
const QPoint kCentred((1920 - 564) / 2, (1080 - 503) / 2);

struct Placement {
    const char* name;
    QPoint stored;
    QPoint expected;
};

class StoredPosition : public ::testing::TestWithParam<Placement> {};

TEST_P(StoredPosition, StaysWhereItCanBeSeenAndDraggedOrIsCentred) {
    EXPECT_EQ(visible_position(GetParam().stored, kWindow, {kPrimary, kRightScreen}, kPrimary), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, StoredPosition,
    ::testing::Values(Placement{"OnThePrimaryScreen", {111, 111}, {111, 111}},
                      Placement{"OnTheSecondScreen", {2500, 300}, {2500, 300}},
                      Placement{"AcrossBothScreens", {1700, 100}, {1700, 100}},
                      Placement{"OnAMonitorSinceUnplugged", {5000, 5000}, kCentred},
                      Placement{"AQuarterLeftOfTheLeftEdge", {-423, 10}, {-423, 10}},
                      Placement{"LessThanAQuarterLeft", {-430, 10}, kCentred},
                      Placement{"TitleBarAboveTheTop", {10, -19}, kCentred},
                      Placement{"BelowTheBottom", {10, 1000}, kCentred}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
