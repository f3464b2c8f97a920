#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct DropCase {
    const char* name;
    bool regular;
    int stones_on_board, owed, dropped;
    friend void PrintTo(const DropCase& c, std::ostream* os) { *os << c.name; }
};

class DropsPerTurn : public ::testing::TestWithParam<DropCase> {};

}  // namespace

// The red stone on field 0 moves to field 1; the other stones fill the board from field 80 backwards.
TEST_P(DropsPerTurn, AMoveWithoutALineDropsStonesByModeCrowdingAndOwedStonesAndEndsTheTurn) {
    const DropCase& c = GetParam();
    Rig rig(c.regular);
    std::vector<std::string> rows = lineless_board(82 - c.stones_on_board);
    rows[0][0] = 'R';
    rig.board(rows);
    rig.engine.extra_stones = c.owed;
    rig.move(0, 1);
    EXPECT_EQ(rig.engine.count_stones() - c.stones_on_board, c.dropped);
    EXPECT_EQ(rig.engine.stone_count, rig.engine.count_stones());
    EXPECT_EQ(rig.engine.extra_stones, 0);
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{1}));
    EXPECT_EQ(rig.engine.selected, nullptr);
    EXPECT_FALSE(rig.engine.busy);
}

INSTANTIATE_TEST_SUITE_P(Modes, DropsPerTurn,
                         ::testing::Values(DropCase{"RegularThreeAt48Stones", true, 48, 0, 3},
                                           DropCase{"RegularTwoAt49Stones", true, 49, 0, 2},
                                           DropCase{"DifficultThreeAt49Stones", false, 49, 0, 3},
                                           DropCase{"DifficultThreePlusTwoOwed", false, 10, 2, 5},
                                           DropCase{"RegularTwoPlusOneOwedWhenCrowded", true, 60, 1, 3}),
                         ByName());

TEST(Turn, AMoveThatCompletesALineDropsNothingAndKeepsTheOwedStones) {
    Rig rig;
    rig.board({"RRRR", "....R"});
    rig.engine.extra_stones = 2;
    rig.move(13, 4);
    EXPECT_EQ(rig.score(), 3);
    settle(rig.engine);
    EXPECT_EQ(rig.engine.count_stones(), 0);
    EXPECT_EQ(rig.engine.extra_stones, 2);
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{2}));
}

TEST(GameEnd, ANewGameWhileAStoneTravelsStartsAfreshAndAcceptsClicksAtOnce) {
    Rig rig;
    rig.board({"R"});
    rig.engine.extra_stones = 2;  // owed and dropped in the old game
    rig.engine.recent_index = 7;
    rig.click(0);
    rig.click(8);
    rig.engine.move_step();
    rig.engine.move_step();
    ASSERT_TRUE(rig.engine.busy);
    EXPECT_TRUE(rig.engine.check_game_over());
    EXPECT_EQ(rig.engine.extra_stones, 0);
    EXPECT_EQ(rig.engine.recent_index, 3);
    EXPECT_FALSE(rig.engine.busy);
    EXPECT_EQ(rig.engine.selected, nullptr);
    EXPECT_TRUE(rig.engine.path->empty());
    const int stone = rig.engine.recent_drops[1];
    rig.click(stone);
    EXPECT_EQ(rig.engine.selected, &rig.at(stone));
}

TEST(GameEnd, ARecentDropThatCompletesALineKeepsTheGameGoing) {
    Rig rig;
    rig.board({".RRRRR"});
    rig.engine.recent_drops[20] = 3;  // the ring's last slot
    EXPECT_FALSE(rig.engine.check_game_over());
    EXPECT_TRUE(rig.host.final_scores.empty());
    EXPECT_EQ(rig.score(), 3);
}
