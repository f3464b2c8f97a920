#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

// Picture groups: 0 at rest, 1..5 highlighted, 6..10 appearing or being removed; a stone blasted
// by dynamite shows blast frames from group 6 on.
TEST(Pictures, CodeAndKindNameTheBitmap) {
    const std::vector<std::tuple<int, int, std::string>> table{
        {0, 0, "empty"},        {1, 0, "red0005"},       {12, 0, "yellow0006"},   {54, 0, "black0000"},
        {87, 0, "purple0004"},  {45, 0, "lblue0010"},    {8, 1, "joker0005"},     {8, 2, "dynamit0005"},
        {8, 3, "quest0005"},    {8, 4, "joker0005"},     {48, 2, "dynamit0010"},  {56, 4, "dynamit0015"},
        {64, 4, "dynamit0014"}, {72, 4, "dynamit0012"},  {80, 4, "dynamit0013"},  {88, 4, "dynamit0014"},
        {72, 3, "quest0002"},   {80, 0, "joker0003"},    {88, 1, "joker0004"}};
    for (const auto& [code, kind, picture] : table) EXPECT_EQ(picture_name(code, kind), picture) << code << " kind " << kind;
}

TEST(Neighbours, EdgesHaveNoNeighbourBeyondThem) {
    EXPECT_EQ(orthogonal_neighbours(0), (std::array<int, 4>{-1, 9, -1, 1}));
    EXPECT_EQ(orthogonal_neighbours(8), (std::array<int, 4>{-1, 17, 7, -1}));
    EXPECT_EQ(orthogonal_neighbours(72), (std::array<int, 4>{63, -1, -1, 73}));
    EXPECT_EQ(orthogonal_neighbours(80), (std::array<int, 4>{71, -1, 79, -1}));
    EXPECT_EQ(orthogonal_neighbours(40), (std::array<int, 4>{31, 49, 39, 41}));
}

TEST(Board, ConstructionReadsItsOwnSettingsLinesAndFillsThePreview) {
    RecordingHost host;
    host.settings = {{1, "0"}, {2, "1"}, {3, "0"}, {5, "1"}, {6, "0"}, {7, "1"}};
    ListRandom random;
    random.values = {3, 4, 12};
    StoppedClock clock;
    Spielklasse engine(host, 9, 9, random, clock);
    EXPECT_TRUE(engine.sound_on);
    EXPECT_FALSE(engine.regular_mode);
    EXPECT_EQ(engine.next_colors, (std::array<int, 3>{4, 5, 6}));
}

TEST(Board, FieldsAndPreviewSlotsAreWrittenInTurnAndRedrawnInPlace) {
    Rig rig;
    rig.board({"D*"});
    rig.engine.set_field(0, 0);
    EXPECT_EQ(rig.at(0).joker_type, kNoSpecial);  // an emptied field keeps no special kind
    rig.engine.set_next(2, 0);
    rig.engine.set_next(8, kJoker);
    rig.engine.set_next(8, kQuestion);
    rig.engine.set_next(5, 0);
    rig.host.pictures_shown.clear();
    rig.engine.redraw();
    EXPECT_EQ(rig.host.pictures_shown.size(), 84u);
    EXPECT_EQ(rig.engine.next_colors, (std::array<int, 3>{5, 8, 8}));
    EXPECT_EQ(rig.engine.preview_images[0].picture, "lblue0005");
    EXPECT_EQ(rig.engine.preview_images[1].picture, "joker0005");
    EXPECT_EQ(rig.engine.preview_images[2].picture, "quest0005");
    EXPECT_EQ(rig.engine.next_slot, 1);
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
    for (const int value : {9, 7, 5}) s.push(value);
    Stack<int> reversed, same;
    same.push(42);
    s.copy_reversed_to(reversed);
    s.copy_to(same);
    EXPECT_EQ(contents(reversed), (std::vector<int>{9, 7, 5}));
    EXPECT_EQ(contents(same), (std::vector<int>{5, 7, 9}));
    EXPECT_EQ(s.remove_at(2), 7);
    EXPECT_EQ(contents(s), (std::vector<int>{5, 9}));
}

TEST(Stack, ALongStackIsFreedWithoutDeepRecursion) {
    Stack<int> s;
    for (int i = 0; i < 1'000'000; ++i) s.push(i);
    s.clear();
    EXPECT_TRUE(s.empty());
}
