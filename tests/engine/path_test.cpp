#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(ShortestPath, AmongEqualLengthPathsTheSearchOrderUpDownLeftRightDecides) {
    // board, from, to, path
    const std::vector<std::tuple<std::vector<std::string>, int, int, std::vector<int>>> table{
        {{"", "", "", "", "....Y"}, 40, 30, {40, 31, 30}},  // up before left
        {{"", "", "", "", "....Y"}, 40, 50, {40, 49, 50}},  // down before right
        {{"Y"}, 0, 80, {0, 9, 18, 27, 36, 45, 54, 63, 72, 73, 74, 75, 76, 77, 78, 79, 80}},
        {{"RRRRK", "KB.KK", "KK..."}, 10, 21, {10, 11, 20, 21}}};  // the only exit is the last tried
    for (const auto& [rows, from, to, path] : table) {
        Rig rig;
        rig.board(rows);
        rig.engine.selected = &rig.at(from);
        rig.engine.find_path(to);
        EXPECT_EQ(contents(*rig.engine.path), path) << from << " to " << to;
    }
}

TEST(Travel, TheStoneWalksOneFieldPerTickAndKeepsItsKind) {
    Rig rig;
    rig.board({"", "", "", "...D"});
    rig.click(30);
    rig.click(32);
    std::vector<std::string> rows;
    for (int tick = 0; tick < 5 && rig.engine.busy; ++tick) {
        rig.engine.move_step();
        rows.push_back(rig.row(3));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"...D.....", "....D....", ".....D..."}));  // k steps take k + 1 ticks
}

TEST(Travel, AnUnreachableTargetIsRefusedWithTheErrorSound) {
    Rig rig;
    rig.board({"RB", "G", "....G", "...G.G", "....G"});
    rig.click(1);  // the blue stone reaches everything but the pocket at 31
    EXPECT_EQ(rig.engine.cursor_for(rig.at(31)), 3);
    rig.click(31);
    EXPECT_FALSE(rig.engine.busy);
    EXPECT_EQ(rig.engine.selected, &rig.at(1));
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{3}));
    rig.click(0);  // the red stone is boxed into the corner
    for (int f = 0; f < kFields; ++f) EXPECT_TRUE(rig.at(f).color != 0 || rig.engine.cursor_for(rig.at(f)) == 3) << f;
    rig.click(80);
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{3, 3}));
    EXPECT_EQ(rig.engine.selected, &rig.at(0));
}

TEST(PlayControl, ClicksSelectHighlightSwitchAndAreIgnoredWhileBusyAndCursorsTellWhatAClickWouldDo) {
    Rig rig;
    rig.board({"RG"});
    EXPECT_EQ(rig.engine.cursor_for(rig.at(0)), 2);  // a stone to pick up
    EXPECT_EQ(rig.engine.cursor_for(rig.at(5)), 1);  // nothing to do
    rig.click(5);
    rig.engine.click(rig.engine.preview_images[0]);
    EXPECT_EQ(rig.engine.selected, nullptr);
    rig.click(0);
    EXPECT_EQ(rig.engine.cursor_for(rig.at(5)), 2);  // reachable
    EXPECT_EQ(rig.engine.cursor_for(rig.at(0)), 1);
    std::vector<std::string> frames;
    for (int i = 0; i < 6; ++i) {
        rig.engine.highlight_tick();
        frames.push_back(rig.at(0).picture);
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"red0006", "red0007", "red0008", "red0009", "red0010", "red0006"}));
    rig.click(1);
    EXPECT_EQ(rig.engine.selected, &rig.at(1));
    EXPECT_EQ(rig.at(0).picture, "red0005");
    rig.engine.highlight_tick();
    EXPECT_FALSE(rig.engine.check_lines(0));  // even without a line the selected stone comes to rest
    EXPECT_EQ(rig.at(1).picture, "green0005");
    rig.engine.busy = true;
    rig.click(0);
    EXPECT_EQ(rig.engine.selected, &rig.at(1));
    EXPECT_EQ(rig.engine.cursor_for(rig.at(5)), 1);
}

TEST(PlayControl, RearrangingShiftsHalvesWithoutMirroringAndChecksTheSeam) {
    Rig rig;
    rig.board({".R", "..R", "...R", "....R", "R"});  // five stones: odd, the rows move
    rig.engine.rearrange_board();
    EXPECT_EQ(rig.score(), 5);  // the moved stones close a diagonal through the middle row
    Rig even;
    even.board({"R....D"});  // two stones: even, the columns move
    even.engine.rearrange_board();
    EXPECT_EQ(even.row(0), "D....R...");
}
