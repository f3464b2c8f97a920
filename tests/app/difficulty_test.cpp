#include "game_fixture.h"

#include "app/main_window_menu.h"
#include "engine/spielklasse.h"

#include <QAction>
#include <QPushButton>

namespace {

// Answers the confirmation with `confirm` (a button name, or "" for the close box) and the
// game-over dialog with OK.
ModalAnswer answering(const QString& confirm, int& confirmations) {
    return ModalAnswer([&confirmations, confirm](QWidget* dialog) {
        if (auto* ok = dialog->findChild<QPushButton*>("OKBtn")) return ok->click();
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

TEST_P(ModeChange, YesOrTheCloseBoxStartsANewGameInTheOtherModeAndStoresIt) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->engine->score_display->set_value(17);
    int confirmations = 0;
    ModalAnswer answer = answering(GetParam(), confirmations);
    window->menu->Difficult1->trigger();
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(answer.answered(), 2);  // the confirmation, then the game-over dialog
    EXPECT_FALSE(window->engine->regular_mode);
    EXPECT_TRUE(window->menu->Difficult1->isChecked());
    EXPECT_FALSE(window->menu->Regular1->isChecked());
    EXPECT_EQ(window->engine->score_display->get_value(), 0);
    EXPECT_EQ(window->engine->count_stones(), 3);
    EXPECT_EQ(stored_setting(6), "0");
}

INSTANTIATE_TEST_SUITE_P(Answers, ModeChange, ::testing::Values("Button1", ""),
                         [](const auto& info) { return std::string(info.param).empty() ? "CloseBox" : "Yes"; });
