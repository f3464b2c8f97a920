#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace {

// A full board without any line: neighbours in every direction differ in colour.
std::vector<std::string> crowded_board(std::initializer_list<int> empty_fields) {
    std::vector<std::string> rows(9, std::string(9, '.'));
    const std::string colours = "RGBYLKP";
    for (int f = 0; f < kFields; ++f)
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] =
            colours[static_cast<std::size_t>((f / 9 * 3 + f % 9) % 7)];
    for (const int f : empty_fields) rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] = '.';
    return rows;
}

void fill_preview(Spielklasse& engine, int code, int kind = 0) {
    for (int i = 0; i < 3; ++i) engine.set_next(code, kind);
}

}  // namespace

TEST(Supply, ABoardWithEightyStonesEndsTheGameInsteadOfFillingTheLastField) {
    Rig rig;
    rig.board(crowded_board({40}));
    rig.engine.score_display->set_value(123);
    EXPECT_TRUE(rig.engine.drop_stone());
    EXPECT_EQ(rig.host.final_scores, (std::vector<int>{123}));
    EXPECT_EQ(rig.engine.count_stones(), 3);
    EXPECT_EQ(rig.engine.stone_count, 3);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_EQ(rig.host.sounds.back(), 1);
}

TEST(Supply, TheDrawRepeatsUntilItHitsAnEmptyField) {
    Rig rig;
    rig.board(crowded_board({40, 77}));
    rig.random.values = {5, 12, 77, 3, 3};
    EXPECT_FALSE(rig.engine.drop_stone());
    EXPECT_EQ(rig.at(77).picture.substr(rig.at(77).picture.size() - 4), "0000");
    EXPECT_EQ(rig.engine.stone_count, 80);
    EXPECT_EQ(rig.engine.recent_drops[1], 77);
}

TEST(Supply, ADroppedStoneGrowsThroughFiveFramesAndComesToRest) {
    Rig rig;
    fill_preview(rig.engine, 3);
    rig.random.values = {10, 0, 0};
    rig.engine.drop_stone();
    std::vector<std::string> frames{rig.at(10).picture};
    for (int tick = 0; tick < 6; ++tick) {
        rig.engine.animate_appearing();
        frames.push_back(rig.at(10).picture);
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"blue0000", "blue0001", "blue0002", "blue0003", "blue0004",
                                                "blue0005", "blue0005"}));
    EXPECT_EQ(rig.engine.recent_drops[1], 0);
}

TEST(Supply, OnlyRingEntriesGetTheSecondLineCheckWhenTheirAppearanceEnds) {
    for (const int drop : {0, 9}) {
        Rig rig;
        fill_preview(rig.engine, 1);
        rig.random.values = {drop, 0, 0};
        rig.engine.drop_stone();
        for (int f = drop + 1; f <= drop + 4; ++f) rig.engine.set_field(f, 1);  // reds appear beside it
        settle(rig.engine);
        EXPECT_EQ(rig.at(drop).color, drop == 0 ? 1 : 0) << drop;
        EXPECT_EQ(rig.score(), drop == 0 ? 0 : 3) << drop;
    }
}

TEST(Supply, AStoneThatCompletesALineAsItDropsIsScoredOnceAndStaysGone) {
    Rig rig;
    rig.board({"RRRR."});
    fill_preview(rig.engine, 1);
    rig.random.values = {4, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.score(), 3);
    rig.host.pictures_shown.clear();
    settle(rig.engine);
    EXPECT_EQ(rig.score(), 3);
    EXPECT_EQ(std::count(rig.host.pictures_shown.begin(), rig.host.pictures_shown.end(), "red0005"), 0);
    EXPECT_EQ(board_picture(rig.engine)[0], ".........");
    EXPECT_EQ(rig.engine.stone_count, 0);
    EXPECT_EQ(rig.engine.count_stones(), 0);
    EXPECT_FALSE(rig.engine.busy);
}

TEST(Supply, AJokerGoesWhereItCompletesNothing) {
    Rig rig;
    rig.board({"RRRR."});
    fill_preview(rig.engine, 8, kJoker);
    rig.random.values = {4, 30, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.at(4).color, 0);
    const int landed = rig.engine.recent_drops[1];
    EXPECT_NE(landed, 4);
    EXPECT_EQ(rig.at(landed).joker_type, kJoker);
    EXPECT_EQ(rig.at(landed).picture, "joker0000");
    EXPECT_EQ(rig.engine.stone_count, rig.engine.count_stones());
    settle(rig.engine);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_EQ(rig.engine.count_stones(), 5);
}

TEST(Supply, AJokerWithNowhereHarmlessToGoDropsWhereItWasDrawn) {
    Rig rig;
    std::vector<std::string> rows = crowded_board({4, 76});
    rows[0].replace(0, 4, "RRRR");
    rows[8].replace(0, 4, "YYYY");
    rig.board(rows);
    fill_preview(rig.engine, 8, kJoker);
    rig.random.values = {76, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.score(), 3);
    settle(rig.engine);
    EXPECT_EQ(rig.engine.stone_count, rig.engine.count_stones());
    EXPECT_EQ(board_picture(rig.engine)[8].substr(0, 5), ".....");
}

struct RefillCase {
    bool regular;
    int drawn;
    bool joker_in_other_slot;
    int expected_code;
    friend void PrintTo(const RefillCase& c, std::ostream* os) { *os << (c.regular ? "Regular" : "Difficult") << " draws " << c.drawn << (c.joker_in_other_slot ? " beside a joker" : ""); }
};

class Refill : public ::testing::TestWithParam<RefillCase> {};

TEST_P(Refill, AJokerComesOnlyOnTheLastNumberOfTheModeAndNeverBesideAnother) {
    Rig rig(GetParam().regular);
    fill_preview(rig.engine, 2);
    if (GetParam().joker_in_other_slot) {
        rig.engine.next_slot = 2;
        rig.engine.set_next(8, kJoker);
    }
    rig.random.values = {40, GetParam().drawn, 3};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.engine.next_colors[0], GetParam().expected_code);
}

INSTANTIATE_TEST_SUITE_P(Modes, Refill,
                         ::testing::Values(RefillCase{true, 11, false, 8}, RefillCase{true, 10, false, 4},
                                           RefillCase{false, 11, false, 4}, RefillCase{false, 24, false, 8},
                                           RefillCase{true, 23, false, 8},
                                           // no number is drawn for the joker: the next one gives the colour
                                           RefillCase{true, 11, true, 5}));

TEST(Refill, JokersComeAboutOnceInTwelveRefillsInRegularAndOnceInTwentyFiveInDifficult) {
    for (const bool regular : {true, false}) {
        EngineRig<StandardRandom, TickingClock> rig(regular);
        int jokers = 0;
        constexpr int kRefills = 5000;
        for (int i = 0; i < kRefills; ++i) {
            rig.board({});
            fill_preview(rig.engine, 2);
            rig.engine.drop_stone();
            for (const int code : rig.engine.next_colors)
                if (code == 8) ++jokers;
        }
        const double expected = kRefills / (regular ? 12.0 : 25.0);
        EXPECT_NEAR(jokers, expected, expected * 0.25) << (regular ? "Regular" : "Difficult");
    }
}
