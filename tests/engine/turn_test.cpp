#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// `count` stones in a pattern without lines, from field 80 backwards, leaving field 0 and its
// right neighbour free for a move.
std::vector<std::string> board_with(int count) {
    std::vector<std::string> rows(9, std::string(9, '.'));
    const std::string colours = "RGBYLKP";
    for (int f = 80; f > 80 - count; --f)
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] =
            colours[static_cast<std::size_t>((f / 9 * 3 + f % 9) % 7)];
    return rows;
}

}  // namespace

TEST(Turn, AMoveWithoutALineDropsThreeStonesAndEndsTheTurn) {
    Rig rig;
    rig.board({"R"});
    rig.engine.extra_stones = 0;
    rig.random.values = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49};
    rig.move(0, 2);
    EXPECT_EQ(rig.engine.count_stones(), 4);
    EXPECT_EQ(rig.engine.stone_count, 4);
    EXPECT_EQ(rig.engine.selected, nullptr);
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{1}));
    EXPECT_FALSE(rig.engine.busy);
}

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

struct DropCountCase {
    bool regular;
    int stones_on_board;
    int owed;
    int dropped;
    friend void PrintTo(const DropCountCase& c, std::ostream* os) { *os << (c.regular ? "Regular" : "Difficult") << " with " << c.stones_on_board << " stones owing " << c.owed; }
};

class DropsPerTurn : public ::testing::TestWithParam<DropCountCase> {};

TEST_P(DropsPerTurn, DependOnModeCrowdingAndOwedStones) {
    const DropCountCase& c = GetParam();
    Rig rig(c.regular);
    std::vector<std::string> rows = board_with(c.stones_on_board - 1);
    rows[0][0] = 'R';
    rig.board(rows);
    rig.engine.extra_stones = c.owed;
    rig.random.values = counting_up(kFields);
    rig.move(0, 1);
    EXPECT_EQ(rig.engine.count_stones() - c.stones_on_board, c.dropped);
    EXPECT_EQ(rig.engine.extra_stones, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, DropsPerTurn,
                         ::testing::Values(DropCountCase{true, 48, 0, 3}, DropCountCase{true, 49, 0, 2},
                                           DropCountCase{false, 49, 0, 3}, DropCountCase{false, 10, 2, 5},
                                           DropCountCase{true, 60, 1, 3}));

TEST(GameEnd, ATurnWhoseFirstDropFindsEightyStonesStartsANewGameWithThreeStones) {
    Rig rig;
    std::vector<std::string> rows = board_with(79);
    rows[0][0] = 'R';  // 80 stones; the move goes to field 1, the last free one but field 0
    rig.board(rows);
    rig.engine.score_display->set_value(77);
    rig.move(0, 1);
    EXPECT_EQ(rig.host.final_scores, (std::vector<int>{77}));
    EXPECT_EQ(rig.engine.count_stones(), 3);
    EXPECT_EQ(rig.engine.stone_count, 3);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_EQ(rig.engine.recent_index, 3);
    EXPECT_FALSE(rig.engine.busy);
}

TEST(GameEnd, NewGameWhileAStoneTravelsAcceptsClicksAtOnce) {
    Rig rig;
    rig.board({"R", "", "", "", "", "", "", "", "Y"});
    rig.engine.score_display->set_value(12);
    rig.engine.click(rig.at(0));
    rig.engine.click(rig.at(8));
    rig.engine.move_step();
    rig.engine.move_step();
    ASSERT_TRUE(rig.engine.busy);
    EXPECT_TRUE(rig.engine.check_game_over());
    EXPECT_EQ(rig.host.final_scores, (std::vector<int>{12}));
    EXPECT_EQ(rig.engine.count_stones(), 3);
    EXPECT_FALSE(rig.engine.busy);
    EXPECT_EQ(rig.engine.selected, nullptr);
    rig.engine.move_step();
    EXPECT_EQ(rig.engine.count_stones(), 3);
    const int stone = rig.engine.recent_drops[1];
    rig.engine.click(rig.at(stone));
    EXPECT_EQ(rig.engine.selected, &rig.at(stone));
}

TEST(GameEnd, ARecentDropThatCompletesALineKeepsTheGameGoing) {
    Rig rig;
    rig.board({"RRRRR"});
    rig.engine.recent_drops[1] = 2;
    EXPECT_FALSE(rig.engine.check_game_over());
    EXPECT_TRUE(rig.host.final_scores.empty());
    EXPECT_EQ(rig.score(), 3);
}

// A player who moves a random stone to a random reachable field, until the board fills up.
TEST(WholeGame, RandomPlayKeepsTheCountAndEndsInANewGame) {
    for (const bool regular : {true, false}) {
        EngineRig<StandardRandom, TickingClock> rig(regular);
        StandardRandom player;
        player.seed(regular ? 7 : 8);
        for (int i = 0; i < 3; ++i) rig.engine.drop_stone();
        int turns = 0;
        for (int attempt = 0; rig.host.final_scores.empty() && attempt < 5000; ++attempt) {
            settle(rig.engine);
            ASSERT_EQ(rig.engine.stone_count, rig.engine.count_stones());
            std::vector<int> stones;
            for (int f = 0; f < kFields; ++f)
                if (rig.at(f).color != 0) stones.push_back(f);
            const int from = stones[static_cast<std::size_t>(player.next()) % stones.size()];
            rig.engine.click(rig.at(from));
            std::vector<int> targets;
            for (int f = 0; f < kFields; ++f)
                if (rig.at(f).reachable) targets.push_back(f);
            if (targets.empty()) continue;
            rig.move(from, targets[static_cast<std::size_t>(player.next()) % targets.size()]);
            ++turns;
        }
        ASSERT_EQ(rig.host.final_scores.size(), 1u);
        EXPECT_EQ(rig.engine.count_stones(), 3);
        EXPECT_GT(turns, 20);
    }
}
