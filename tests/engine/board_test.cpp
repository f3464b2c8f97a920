#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

struct PictureCase {
    int code;
    int kind;
    const char* picture;
    friend void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.code << " kind " << c.kind; }
};

class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, CodeAndKindNameTheBitmap) {
    EXPECT_EQ(picture_name(GetParam().code, GetParam().kind), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(Table, Pictures,
                         ::testing::Values(PictureCase{0, 0, "empty"}, PictureCase{1, 0, "red0005"},
                                           PictureCase{9, 0, "red0006"}, PictureCase{49, 0, "red0000"},
                                           PictureCase{87, 0, "purple0004"}, PictureCase{45, 0, "lblue0010"},
                                           PictureCase{8, 1, "joker0005"}, PictureCase{8, 2, "dynamit0005"},
                                           PictureCase{8, 3, "quest0005"}, PictureCase{8, 4, "joker0005"},
                                           PictureCase{48, 2, "dynamit0010"}, PictureCase{56, 4, "dynamit0015"},
                                           PictureCase{64, 4, "dynamit0014"}, PictureCase{72, 4, "dynamit0012"},
                                           PictureCase{80, 4, "dynamit0013"}, PictureCase{88, 4, "dynamit0014"},
                                           PictureCase{72, 3, "quest0002"}, PictureCase{80, 0, "joker0003"},
                                           PictureCase{88, 1, "joker0004"}));

TEST(Neighbours, EdgesHaveNoNeighbourBeyondThem) {
    EXPECT_EQ(orthogonal_neighbours(0), (std::array<int, 4>{-1, 9, -1, 1}));
    EXPECT_EQ(orthogonal_neighbours(8), (std::array<int, 4>{-1, 17, 7, -1}));
    EXPECT_EQ(orthogonal_neighbours(72), (std::array<int, 4>{63, -1, -1, 73}));
    EXPECT_EQ(orthogonal_neighbours(80), (std::array<int, 4>{71, -1, 79, -1}));
    EXPECT_EQ(orthogonal_neighbours(40), (std::array<int, 4>{31, 49, 39, 41}));
}

TEST(Board, ClearingADynamiteFieldLeavesNoKindBehind) {
    Rig rig;
    rig.board({"D"});
    ASSERT_EQ(rig.at(0).picture, "dynamit0005");
    rig.engine.set_field(0, 0);
    EXPECT_EQ(rig.at(0).joker_type, 0);
    EXPECT_EQ(rig.at(0).picture, "empty");
}

TEST(Board, PreviewSlotsAreWrittenInTurn) {
    Rig rig;
    ASSERT_EQ(rig.engine.next_slot, 0);
    rig.engine.set_next(2, 0);
    rig.engine.set_next(8, kJoker);
    rig.engine.set_next(8, kQuestion);
    rig.engine.set_next(5, 0);
    EXPECT_EQ(rig.engine.next_colors, (std::array<int, 3>{5, 8, 8}));
    EXPECT_EQ(rig.engine.preview_images[0].picture, "lblue0005");
    EXPECT_EQ(rig.engine.preview_images[1].picture, "joker0005");
    EXPECT_EQ(rig.engine.preview_images[2].picture, "quest0005");
    EXPECT_EQ(rig.engine.next_slot, 1);
}

TEST(Board, ConstructionReadsSoundAndDifficultyAndFillsThePreview) {
    RecordingHost host;
    host.settings = {{2, "0"}, {6, "0"}};
    ListRandom random;
    random.values = {3, 4, 12};
    StoppedClock clock;
    Spielklasse engine(host, 9, 9, random, clock);
    EXPECT_FALSE(engine.sound_on);
    EXPECT_FALSE(engine.regular_mode);
    EXPECT_EQ(engine.next_colors, (std::array<int, 3>{4, 5, 6}));
    EXPECT_EQ(engine.next_slot, 0);
    EXPECT_EQ(engine.score_display->get_value(), 0);
}

TEST(Board, RedrawRepaintsEverythingAndKeepsTheSlotRotation) {
    Rig rig;
    rig.board({"R*"});
    rig.engine.set_next(3, 0);
    rig.host.pictures_shown.clear();
    rig.engine.redraw();
    EXPECT_EQ(rig.host.pictures_shown.size(), 84u);
    EXPECT_EQ(rig.engine.next_slot, 1);
    EXPECT_EQ(rig.engine.preview_images[0].color, 3);
}

using BoardDeathTest = ::testing::Test;

TEST_F(BoardDeathTest, ABadFieldOrCodeStopsWithTheAssertionText) {
    Rig rig;
    EXPECT_DEATH(rig.engine.set_field(81, 1),
                 "Assertion failed: \\(0<=field\\)&&\\(Kaestchen>=field\\)&&\\(0<=color\\)&&\\(89>=color\\), "
                 "file spielklasse.cpp, line [0-9]+");
    EXPECT_DEATH(rig.engine.set_field(3, 89), "Assertion failed: .*89>=color");
    EXPECT_DEATH(rig.engine.set_next(8, 0), "Assertion failed: joker_type, file");
}

TEST(Stack, PositionsCountFromTheTopAndCopiesKeepOrReverseIt) {
    Stack<int> s;
    s.push(9);
    s.push(7);
    s.push(5);
    Stack<int> reversed;
    s.copy_reversed_to(reversed);
    EXPECT_EQ(reversed.at(1), 9);
    EXPECT_EQ(reversed.at(3), 5);
    Stack<int> same;
    same.push(42);
    s.copy_to(same);
    EXPECT_EQ(same.count(), 3);
    EXPECT_EQ(same.at(1), 5);
    EXPECT_EQ(same.at(3), 9);
    EXPECT_EQ(s.remove_at(2), 7);
    EXPECT_EQ(s.count(), 2);
    EXPECT_EQ(s.at(2), 9);
    EXPECT_EQ(s.remove_at(1), 5);
    EXPECT_EQ(s.pop(), 9);
    EXPECT_TRUE(s.empty());
}

TEST(Stack, ALongStackIsFreedWithoutDeepRecursion) {
    Stack<int> s;
    for (int i = 0; i < 1'000'000; ++i) s.push(i);
    s.clear();
    EXPECT_EQ(s.count(), 0);
}
