#include "game_fixture.h"

#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "platform/registry.h"

#include <QAction>
#include <QPushButton>

namespace {

// Answers the confirmation with `confirm` (a button name, or "" for the close box) and the
// dialogs of the game's end with OK and a name.
ModalAnswer answering(const QString& confirm, int& confirmations) {
    return ModalAnswer([&confirmations, confirm](QWidget* dialog) {
        if (!dialog->findChild<QPushButton*>("Button2")) return static_cast<void>(answer_game_end(dialog));
        ++confirmations;
        if (confirm.isEmpty()) return static_cast<void>(dialog->close());
        dialog->findChild<QPushButton*>(confirm)->click();
    });
}

}  // namespace

TEST_F(GameFolder, TheModeInForceAsksNothingAndNoKeepsModeMarksBoardAndScore) {
    std::unique_ptr<TForm1> window = start();
    window->engine->score_display->set_value(17);
    int confirmations = 0;
    ModalAnswer answer = answering("Button2", confirmations);
    window->menu->Regular1->trigger();
    EXPECT_EQ(answer.answered(), 0);
    window->menu->Difficult1->trigger();
    EXPECT_EQ(confirmations, 1);
    EXPECT_TRUE(window->engine->regular_mode);
    EXPECT_TRUE(window->menu->Regular1->isChecked());
    EXPECT_FALSE(window->menu->Difficult1->isChecked());
    EXPECT_EQ(window->engine->score_display->get_value(), 17);
}

class ModeChange : public GameFolder, public ::testing::WithParamInterface<const char*> {};

// The game that ends with the change enters the table of the mode it was played in; then the
// tables change places, and the store gets the new mode and its tables together.
TEST_P(ModeChange, YesOrTheCloseBoxStartsANewGameInTheOtherModeAndStoresIt) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->engine->score_display->set_value(17);
    int confirmations = 0;
    ModalAnswer answer = answering(GetParam(), confirmations);
    window->menu->Difficult1->trigger();
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(answer.answered(), 4);  // the confirmation, the game's end, the name, the table
    const QStringList tables = window->Highscores->lines();
    EXPECT_EQ(tables[highscore::kOtherTable + 8], "9.    17        Ann");
    EXPECT_EQ(points_of(tables[8]), 10);
    EXPECT_EQ(load_highscores(Registry()), tables);
    EXPECT_FALSE(window->engine->regular_mode);
    EXPECT_TRUE(window->menu->Difficult1->isChecked());
    EXPECT_FALSE(window->menu->Regular1->isChecked());
    EXPECT_EQ(window->engine->score_display->get_value(), 0);
    EXPECT_EQ(window->engine->count_stones(), 3);
    EXPECT_EQ(stored_setting(6), "0");
}

INSTANTIATE_TEST_SUITE_P(Answers, ModeChange, ::testing::Values("Button1", ""),
                         [](const auto& info) { return std::string(info.param).empty() ? "CloseBox" : "Yes"; });
