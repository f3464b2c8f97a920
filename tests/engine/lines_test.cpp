#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Puts a red stone on `field` of the pictured board and checks the lines through it.
struct LineResult {
    bool removed;
    int points;
    int stones_left;
    std::vector<std::string> board_after;
};

LineResult place_and_check(const std::vector<std::string>& rows, int field, char stone = 'R') {
    Rig rig;
    rig.board(rows);
    rig.at(field).joker_type = stone == 'D' ? kDynamite : stone == '*' ? kJoker : 0;
    rig.engine.set_field(field, code_of(stone));
    rig.engine.stone_count = rig.engine.count_stones();
    const bool removed = rig.engine.check_lines(field);
    rig.engine.animate_removal();
    return {removed, rig.score(), rig.engine.stone_count, board_picture(rig.engine)};
}

struct ScoreCase {
    int n;
    int points;
    friend void PrintTo(const ScoreCase& c, std::ostream* os) { *os << "n " << c.n; }
};

class Scoring : public ::testing::TestWithParam<ScoreCase> {};

}  // namespace

TEST_P(Scoring, PointsGrowWithTheNumberOfCountedStones) {
    Rig rig;
    rig.engine.add_score(GetParam().n);
    EXPECT_EQ(rig.score(), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(Table, Scoring,
                         ::testing::Values(ScoreCase{0, 3}, ScoreCase{4, 3}, ScoreCase{5, 5}, ScoreCase{6, 8},
                                           ScoreCase{7, 12}, ScoreCase{8, 17}, ScoreCase{9, 23}, ScoreCase{10, 30},
                                           ScoreCase{11, 38}, ScoreCase{12, 47}, ScoreCase{13, 57}));

TEST(Scoring, PassingAMultipleOfFiftyOwesExtraStones) {
    Rig rig;
    rig.engine.score_display->set_value(48);
    rig.engine.add_score(4);  // 48 + 3
    EXPECT_EQ(rig.engine.extra_stones, 1);
    rig.engine.score_display->set_value(98);
    rig.engine.add_score(5);  // 98 + 5
    EXPECT_EQ(rig.engine.extra_stones, 3);
    rig.engine.score_display->set_value(10);
    rig.engine.add_score(13);  // 10 + 57 jumps over 50 onto a larger remainder
    EXPECT_EQ(rig.engine.extra_stones, 3);
    EXPECT_EQ(rig.score(), 67);
}

TEST(Lines, FiveInARowGoAtEitherEnd) {
    for (const int field : {0, 4}) {
        const std::string row = field == 0 ? ".RRRR" : "RRRR.";
        const LineResult r = place_and_check({row, "G"}, field);
        EXPECT_TRUE(r.removed);
        EXPECT_EQ(r.points, 3);
        EXPECT_EQ(r.stones_left, 1);
        EXPECT_EQ(r.board_after[0], ".........");
    }
}

TEST(Lines, ADiagonalOfFivePaysFive) {
    const LineResult r = place_and_check({".", ".R", "..R", "...R", "....R"}, 0);
    EXPECT_TRUE(r.removed);
    EXPECT_EQ(r.points, 5);
    EXPECT_EQ(r.stones_left, 0);
}

TEST(Lines, AJokerCountsForTheColourBesideIt) {
    EXPECT_EQ(place_and_check({"*RRR."}, 4).points, 3);
    const LineResult mixed = place_and_check({".RRR*B"}, 0);
    EXPECT_TRUE(mixed.removed);
    EXPECT_EQ(mixed.board_after[0], ".....B...");
    const LineResult split = place_and_check({"RRR.BB"}, 3, '*');
    EXPECT_FALSE(split.removed);
    EXPECT_EQ(split.board_after[0], "RRR*BB...");
}

TEST(Lines, TwoLinesCrossingAtTheMovedStoneScoreTogether) {
    const LineResult r = place_and_check({"....R", "....R", "....R", "....R", "..RR.RR.."}, 40);
    EXPECT_EQ(r.points, 17);
    EXPECT_EQ(r.stones_left, 0);
}

TEST(Lines, NoLineChangesNothingButTheSelectedStonesPicture) {
    Rig rig;
    rig.board({"RRR.G"});
    rig.engine.click(rig.at(4));
    rig.engine.animate_selected();
    ASSERT_EQ(rig.at(4).picture, "green0006");
    EXPECT_FALSE(rig.engine.check_lines(0));
    EXPECT_EQ(rig.at(4).picture, "green0005");
    EXPECT_EQ(rig.engine.stone_count, 4);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_TRUE(rig.host.sounds.empty());
}

TEST(Lines, DynamiteBlastsEveryRestingStoneOfTheLinesColour) {
    Rig rig;
    rig.board({"RRRD.", "", "R.G.R", "", "......R.R"});
    rig.engine.set_field(4, 1);
    rig.engine.stone_count = rig.engine.count_stones();
    ASSERT_TRUE(rig.engine.check_lines(4));
    EXPECT_EQ(rig.score(), 3);  // only the line scores
    EXPECT_EQ(rig.at(18).picture, "dynamit0013");
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{2}));
    rig.engine.animate_removal();
    EXPECT_EQ(board_picture(rig.engine)[2], "..G......");
    EXPECT_EQ(board_picture(rig.engine)[4], ".........");
    EXPECT_EQ(rig.engine.stone_count, 1);
    EXPECT_FALSE(rig.engine.busy);
}

TEST(Removal, AColouredStoneFadesThroughFiveFramesThenTheFieldEmpties) {
    Rig rig;
    rig.board({"RRRR"});
    rig.engine.set_field(4, 1);
    ASSERT_TRUE(rig.engine.check_lines(4));
    rig.host.pictures_shown.clear();
    rig.engine.animate_removal();
    EXPECT_EQ(rig.host.pauses, 5);
    ASSERT_EQ(rig.host.pictures_shown.size(), 25u);
    EXPECT_EQ(rig.host.pictures_shown[0], "red0003");
    EXPECT_EQ(rig.host.pictures_shown[15], "red0000");
    EXPECT_EQ(rig.host.pictures_shown.back(), "empty");
    EXPECT_TRUE(rig.engine.removal_list.empty());
}

TEST(Removal, AStoneArrivingDuringTheRemovalCannotScoreTheLeavingStonesAgain) {
    Rig rig;
    rig.board({"RRRR.", "", "", "", "", "", "", "", "....R"});
    rig.engine.set_field(4, 1);
    ASSERT_TRUE(rig.engine.check_lines(4));
    ASSERT_EQ(rig.score(), 3);
    // Between two removal frames the red stone from the bottom row reaches field 5, beside the
    // stones still fading out.
    rig.host.during_pause = [&] {
        rig.engine.set_field(76, 0);
        rig.engine.set_field(5, 1);
        EXPECT_FALSE(rig.engine.check_lines(5));
        EXPECT_FALSE(rig.engine.check_lines(4));
    };
    rig.engine.animate_removal();
    EXPECT_EQ(rig.score(), 3);
    EXPECT_EQ(board_picture(rig.engine)[0], ".....R...");
}

TEST(Removal, ATickDuringThePauseDoesNotRunASecondRemoval) {
    Rig rig;
    rig.board({"RRRR"});
    rig.engine.set_field(4, 1);
    ASSERT_TRUE(rig.engine.check_lines(4));
    int nested_pauses = -1;
    rig.host.during_pause = [&] {
        const int before = rig.host.pauses;
        rig.engine.highlight_tick();
        nested_pauses = rig.host.pauses - before;
    };
    rig.engine.animate_removal();
    EXPECT_EQ(nested_pauses, 0);
    EXPECT_EQ(rig.host.pauses, 5);
    EXPECT_EQ(board_picture(rig.engine)[0], ".........");
}

TEST(Removal, AFieldIsNeverListedTwice) {
    Rig rig;
    rig.board({"RRRR"});
    rig.engine.remove_stone(0);
    rig.engine.remove_stone(0);
    EXPECT_EQ(rig.engine.removal_list.count(), 1);
    EXPECT_TRUE(rig.engine.busy);
}

TEST(Lines, AJokerWouldCompleteALineOnlyWhereOneIsMissing) {
    Rig rig;
    rig.board({"RRRR.", "", "GG.GG", "B"});
    EXPECT_TRUE(rig.engine.would_complete_line(4));
    EXPECT_TRUE(rig.engine.would_complete_line(20));
    EXPECT_FALSE(rig.engine.would_complete_line(40));
    EXPECT_EQ(rig.at(4).color, 0);
    EXPECT_EQ(rig.at(4).picture, "empty");
}
