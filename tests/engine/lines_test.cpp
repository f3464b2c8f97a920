#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

namespace {

// A stone put on `field` of the pictured board, the lines through it checked and removed.
struct LineCase {
    const char* name;
    std::vector<std::string> rows;
    int field;
    char stone;
    int points, stones_left;  // no points: no line
    std::string top_row_after;
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }
};

class Lines : public ::testing::TestWithParam<LineCase> {};

}  // namespace

TEST_P(Lines, FiveOrMoreOfAColourInARowGoAndScore) {
    const LineCase& c = GetParam();
    Rig rig;
    rig.board(c.rows);
    rig.put(c.field, c.stone);
    EXPECT_EQ(rig.engine.check_lines(c.field), c.points > 0);
    rig.engine.animate_removal();
    EXPECT_EQ(rig.score(), c.points);
    EXPECT_EQ(rig.engine.stone_count, c.stones_left);
    EXPECT_EQ(rig.row(0), c.top_row_after);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Lines,
    ::testing::Values(
        LineCase{"FiveInARowFromTheLeftEnd", {".RRRR", "G"}, 0, 'R', 3, 1, "........."},
        LineCase{"FiveInARowFromTheRightEndSpareOtherStonesOfTheColour", {"RRRR.", "R"}, 4, 'R', 3, 1, "........."},
        LineCase{"DiagonalDownRightPaysFive", {".", ".R", "..R", "...R", "....R"}, 0, 'R', 5, 0, "........."},
        LineCase{"DiagonalDownLeftPaysFive", {".", "...R", "..R", ".R", "R"}, 4, 'R', 5, 0, "........."},
        LineCase{"CrossingLinesScoreTogether", {"....R", "....R", "....R", "....R", "..RR.RR.."}, 40, 'R', 17, 0,
                 "........."},
        LineCase{"JokerAtTheEndCountsForTheColourBesideIt", {"*RRR."}, 4, 'R', 3, 0, "........."},
        LineCase{"JokerBetweenColoursGoesWithTheLine", {".RRR*B"}, 0, 'R', 3, 1, ".....B..."},
        LineCase{"JokerBetweenTwoShortRunsCompletesNeither", {"RRR.BB"}, 3, '*', 0, 6, "RRR*BB..."},
        LineCase{"JokerBetweenOneColourCountsOnce", {".R*R."}, 4, 'R', 0, 4, ".R*RR...."},
        LineCase{"MovedDynamiteBlastsTheLinesColour", {"RRRR.", "", "R.G"}, 4, 'D', 3, 1, "........."}),
    ByName());

// Points grow with the number of counted stones; passing a multiple of 50 owes extra stones.
TEST(Scoring, PointsAndOwedStonesFollowTheTable) {
    // score before, counted stones, score after, stones owed
    const std::vector<std::tuple<int, int, int, int>> table{
        {0, 0, 3, 0},   {0, 4, 3, 0},   {0, 5, 5, 0},   {0, 6, 8, 0},    {0, 7, 12, 0},    {0, 8, 17, 0},
        {0, 9, 23, 0},  {0, 10, 30, 0}, {0, 11, 38, 0}, {0, 12, 47, 0},  {48, 4, 51, 1},   {98, 5, 103, 2},
        {0, 13, 57, 0}};  // a jump over 50 onto a larger remainder owes nothing
    for (const auto& [before, n, after, owed] : table) {
        Rig rig;
        rig.engine.score_display->set_value(before);
        rig.engine.add_score(n);
        EXPECT_EQ(rig.score(), after) << before << " + " << n << " stones";
        EXPECT_EQ(rig.engine.extra_stones, owed) << before << " + " << n << " stones";
    }
}

TEST(Dynamite, InALineBlastsEveryRestingStoneOfTheLinesColour) {
    Rig rig;
    rig.board({"RRRD.", "", "R.G.R", "", "......R.R"});
    rig.put(4, 'R');
    ASSERT_TRUE(rig.engine.check_lines(4));
    EXPECT_EQ(rig.score(), 3);  // only the line scores
    EXPECT_EQ(rig.at(18).picture, "dynamit0013");
    rig.engine.animate_removal();
    EXPECT_EQ(rig.row(2), "..G......");
    EXPECT_EQ(rig.engine.stone_count, 1);
}

TEST(Removal, EachStoneFadesThroughFiveFramesThenItsFieldEmpties) {
    Rig rig;
    rig.board({"RRRR"});
    rig.put(4, 'R');
    ASSERT_TRUE(rig.engine.check_lines(4));
    rig.engine.remove_stone(4);  // listed once however often it is removed
    rig.host.pictures_shown.clear();
    rig.engine.animate_removal();
    EXPECT_EQ(rig.host.pauses, 5);
    ASSERT_EQ(rig.host.pictures_shown.size(), 25u);
    EXPECT_EQ(rig.host.pictures_shown[0], "red0003");
    EXPECT_EQ(rig.host.pictures_shown.back(), "empty");
    EXPECT_FALSE(rig.engine.busy);
}

// Between two removal frames the window handles its events: a tick may come, and the red stone
// from the bottom row may arrive on field 5, beside the stones still fading out.
TEST(Removal, NeitherATickNorAStoneArrivingDuringAPauseScoresOrRemovesTwice) {
    Rig rig;
    rig.board({"RRRR.", "", "", "", "", "", "", "", "....R"});
    rig.put(4, 'R');
    ASSERT_TRUE(rig.engine.check_lines(4));
    int nested_pauses = -1;
    rig.host.during_pause = [&] {
        rig.engine.set_field(76, 0);
        rig.engine.set_field(5, 1);
        EXPECT_FALSE(rig.engine.check_lines(5));
        const int before = rig.host.pauses;
        rig.engine.highlight_tick();
        nested_pauses = rig.host.pauses - before;
    };
    rig.engine.animate_removal();
    EXPECT_EQ(nested_pauses, 0);
    EXPECT_EQ(rig.score(), 3);
    EXPECT_EQ(rig.row(0), ".....R...");
}
