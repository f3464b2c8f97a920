#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

std::vector<int> path_of(Spielklasse& engine) {
    std::vector<int> fields;
    for (int i = 1; i <= engine.path->count(); ++i) fields.push_back(engine.path->at(i));
    return fields;
}

// The fields the stone stands on after each move-timer tick.
std::vector<int> travel(Rig& rig, int from, int to) {
    const int colour = rig.at(from).color;
    rig.engine.click(rig.at(from));
    rig.engine.click(rig.at(to));
    std::vector<int> visited;
    while (rig.engine.busy && !rig.engine.path->empty()) {
        rig.engine.move_step();
        for (int f = 0; f < kFields; ++f)
            if (rest_code(rig.at(f).color) == colour) visited.push_back(f);
    }
    return visited;
}

struct TieCase {
    int from;
    int to;
    std::vector<int> path;
    friend void PrintTo(const TieCase& c, std::ostream* os) { *os << c.from << " to " << c.to; }
};

class ShortestPath : public ::testing::TestWithParam<TieCase> {};

}  // namespace

TEST_P(ShortestPath, EqualLengthPathsFollowTheSearchOrder) {
    Rig rig;
    rig.at(GetParam().from).joker_type = 0;
    rig.engine.set_field(GetParam().from, 4);
    rig.engine.selected = &rig.at(GetParam().from);
    rig.engine.find_path(GetParam().to);
    EXPECT_EQ(path_of(rig.engine), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    EmptyBoard, ShortestPath,
    ::testing::Values(TieCase{40, 30, {40, 31, 30}}, TieCase{40, 50, {40, 49, 50}},
                      TieCase{0, 80, {0, 9, 18, 27, 36, 45, 54, 63, 72, 73, 74, 75, 76, 77, 78, 79, 80}},
                      TieCase{40, 41, {40, 41}}));

TEST(Travel, TheStoneWalksOneFieldPerTickAndArrivesOnTheTarget) {
    Rig rig;
    rig.board({".........", ".........", ".........", "...Y....."});
    const std::vector<int> visited = travel(rig, 30, 32);
    EXPECT_EQ(visited, (std::vector<int>{30, 31, 32}));  // k steps take k + 1 ticks
    EXPECT_EQ(rig.at(32).color % 8, 4);
    EXPECT_EQ(rig.at(30).color, 0);
    EXPECT_FALSE(rig.engine.busy);
}

TEST(Travel, AStoneWhoseOnlyExitIsToTheRightStillFindsItsWay) {
    Rig rig;
    rig.board({"RRRRK", "KB.KK", "KK..."});
    rig.engine.selected = &rig.at(10);
    rig.engine.find_path(21);
    EXPECT_EQ(path_of(rig.engine), (std::vector<int>{10, 11, 20, 21}));
}

TEST(Travel, AnEnclosedTargetIsRefusedWithTheErrorSound) {
    Rig rig;
    rig.board({"R........", ".........", "....G....", "...G.G...", "....G...."});
    rig.engine.click(rig.at(0));
    rig.host.sounds.clear();
    rig.engine.click(rig.at(31));
    EXPECT_TRUE(rig.engine.path->empty());
    EXPECT_FALSE(rig.engine.busy);
    EXPECT_EQ(rig.engine.selected, &rig.at(0));
    EXPECT_EQ(rig.host.sounds, (std::vector<int>{3}));
    EXPECT_EQ(rig.engine.cursor_for(rig.at(31)), 3);
    EXPECT_EQ(rig.engine.cursor_for(rig.at(50)), 2);
    EXPECT_EQ(rig.engine.cursor_for(rig.at(40)), 1);
}

TEST(Travel, AStoneBoxedIntoTheCornerReachesNothing) {
    Rig rig;
    rig.board({"RB", "G"});
    rig.engine.click(rig.at(0));
    for (int f = 0; f < kFields; ++f) {
        if (rig.at(f).color == 0) {
            EXPECT_EQ(rig.engine.cursor_for(rig.at(f)), 3) << f;
        }
        EXPECT_FALSE(rig.at(f).reachable);
    }
    rig.engine.click(rig.at(80));
    EXPECT_EQ(rig.host.sounds.back(), 3);
    EXPECT_EQ(rig.engine.selected, &rig.at(0));
}

TEST(PlayControl, ClicksSelectSwitchAndAreIgnoredWhileBusy) {
    Rig rig;
    rig.board({"RG"});
    rig.engine.click(rig.at(5));  // empty field, nothing selected
    EXPECT_EQ(rig.engine.selected, nullptr);
    rig.engine.click(rig.engine.preview_images[0]);
    EXPECT_EQ(rig.engine.selected, nullptr);
    rig.engine.click(rig.at(0));
    rig.engine.highlight_tick();
    EXPECT_EQ(rig.at(0).picture, "red0006");
    rig.engine.click(rig.at(1));
    EXPECT_EQ(rig.engine.selected, &rig.at(1));
    EXPECT_EQ(rig.at(0).picture, "red0005");
    rig.engine.busy = true;
    rig.engine.click(rig.at(0));
    EXPECT_EQ(rig.engine.selected, &rig.at(1));
    EXPECT_EQ(rig.engine.cursor_for(rig.at(40)), 1);
}

TEST(PlayControl, CursorsTellWhatAClickWouldDo) {
    Rig rig;
    rig.board({"R"});
    EXPECT_EQ(rig.engine.cursor_for(rig.at(0)), 2);   // a stone to pick up
    EXPECT_EQ(rig.engine.cursor_for(rig.at(40)), 1);  // nothing to do
    rig.engine.click(rig.at(0));
    EXPECT_EQ(rig.engine.cursor_for(rig.at(40)), 2);  // reachable
    EXPECT_EQ(rig.engine.cursor_for(rig.at(0)), 1);
}

TEST(PlayControl, TheSelectedStoneCyclesThroughItsFiveHighlightFrames) {
    Rig rig;
    rig.board({"*"});
    rig.engine.click(rig.at(0));
    std::vector<std::string> frames;
    for (int i = 0; i < 6; ++i) {
        rig.engine.animate_selected();
        frames.push_back(rig.at(0).picture);
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"joker0006", "joker0007", "joker0008", "joker0009", "joker0010",
                                                "joker0006"}));
}

TEST(PlayControl, MirrorShiftsHalvesWithoutReflectingThem) {
    Rig rig;
    rig.board({"RGB"});
    rig.engine.rearrange_board();  // three stones: odd, rows move
    EXPECT_EQ(board_picture(rig.engine)[5], "RGB......");
    EXPECT_EQ(board_picture(rig.engine)[0], ".........");
    rig.board({"RG"});
    rig.engine.rearrange_board();  // two stones: even, columns move
    EXPECT_EQ(board_picture(rig.engine)[0], ".....RG..");
}
