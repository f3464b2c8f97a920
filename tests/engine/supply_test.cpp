#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

TEST(Supply, ABoardWithEightyStonesEndsTheGameInsteadOfFillingTheLastField) {
    Rig rig;
    std::vector<std::string> rows = lineless_board(0);
    rows[4][4] = '.';
    rig.board(rows);
    rig.engine.score_display->set_value(123);
    EXPECT_TRUE(rig.engine.drop_stone());
    EXPECT_EQ(rig.host.final_scores, (std::vector<int>{123}));
    EXPECT_EQ(rig.engine.count_stones(), 3);
    EXPECT_EQ(rig.engine.stone_count, 3);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_EQ(rig.host.sounds.back(), 1);
}

TEST(Supply, ADropDrawsUntilItHitsAnEmptyFieldAndTheStoneGrowsThroughFiveFrames) {
    Rig rig;
    rig.board({"", "R"});
    rig.preview(3);
    rig.random.values = {9, 10, 0};
    rig.clock.now = 4321;
    EXPECT_FALSE(rig.engine.drop_stone());
    EXPECT_EQ(rig.random.seeded, 4321u);  // the drop's numbers come from the second it happens in
    std::vector<std::string> frames{rig.at(10).picture};
    for (int tick = 0; tick < 6; ++tick) {
        rig.engine.animate_appearing();
        frames.push_back(rig.at(10).picture);
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"blue0000", "blue0001", "blue0002", "blue0003", "blue0004",
                                                "blue0005", "blue0005"}));
    EXPECT_EQ(rig.engine.recent_drops[1], 0);
}

// Field 0 is also the ring's mark for "no entry": a stone dropped there is animated, but its
// line is not looked for again when it comes to rest.
TEST(Supply, OnlyRingEntriesGetTheSecondLineCheckWhenTheirAppearanceEnds) {
    for (const int drop : {0, 9}) {
        Rig rig;
        rig.preview(1);
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
    rig.preview(1);
    rig.random.values = {4, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.score(), 3);
    rig.host.pictures_shown.clear();
    settle(rig.engine);
    EXPECT_EQ(rig.score(), 3);
    EXPECT_EQ(std::count(rig.host.pictures_shown.begin(), rig.host.pictures_shown.end(), "red0005"), 0);
    EXPECT_EQ(rig.row(0), ".........");
}

TEST(Supply, AJokerGoesToARandomFieldWhereItCompletesNothingIfThereIsOne) {
    Rig rig;
    rig.board({"RRRR."});
    rig.preview(8, kJoker);
    rig.random.values = {4, 30, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.engine.recent_drops[1], 35);  // the 31st of the fields 5..80
    EXPECT_EQ(rig.at(35).joker_type, kJoker);
    EXPECT_EQ(rig.at(35).picture, "joker0000");
    settle(rig.engine);
    EXPECT_EQ(rig.score(), 0);
    EXPECT_EQ(rig.engine.count_stones(), 5);
    std::vector<std::string> rows = lineless_board(0);
    rows[0].replace(0, 5, "RRRR.");
    rows[8].replace(0, 5, "YYYY.");
    rig.board(rows);
    rig.preview(8, kJoker);
    rig.random.values = {4, 0, 0};
    rig.engine.drop_stone();
    EXPECT_EQ(rig.score(), 3);
    settle(rig.engine);
    EXPECT_EQ(rig.engine.stone_count, rig.engine.count_stones());
    EXPECT_EQ(rig.row(0).substr(0, 5), ".....");
    EXPECT_EQ(rig.row(8).substr(0, 5), "YYYY.");
}

TEST(Refill, AJokerComesOnlyOnTheLastNumberOfTheModeAndNeverBesideAnother) {
    // mode, number drawn, a joker already in the preview, the code that fills the slot
    const std::vector<std::tuple<bool, int, bool, int>> table{
        {true, 11, false, 8}, {true, 10, false, 4}, {true, 23, false, 8}, {false, 11, false, 4}, {false, 24, false, 8},
        {true, 11, true, 5}};  // beside a joker no number is drawn for one: the next gives the colour
    for (const auto& [regular, drawn, beside_joker, code] : table) {
        Rig rig(regular);
        rig.preview(2);
        if (beside_joker) rig.engine.preview_images[2].joker_type = kJoker;
        rig.random.values = {40, drawn, 3};
        rig.engine.drop_stone();
        EXPECT_EQ(rig.engine.next_colors[0], code) << (regular ? "regular, " : "difficult, ") << drawn;
    }
}
