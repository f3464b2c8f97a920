#include "game_fixture.h"

#include "app/main_window_menu.h"
#include "engine/spielklasse.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

TEST_F(GameFolder, AFirstStartUsesTheDefaultsAndCountsItself) {
    std::unique_ptr<TForm1> window = start();
    EXPECT_EQ(window->windowTitle(), "Quorvel 1.20");
    EXPECT_EQ(window->Settings.line(20), "2");
    EXPECT_EQ(window->pos(), QPoint(111, 111));
    EXPECT_EQ(window->engine->count_stones(), 3);
    EXPECT_TRUE(window->menu->Fast1->isChecked());
    EXPECT_EQ(window->movetimer->interval(), 50);
    EXPECT_EQ(window->highlighttimer->interval(), 100);
    EXPECT_TRUE(window->movetimer->isActive());
    EXPECT_TRUE(window->menu->Regular1->isChecked());
    EXPECT_FALSE(window->menu->Difficult1->isChecked());
    EXPECT_FALSE(window->menu->Turn_Off_Sound1->isChecked());
    EXPECT_TRUE(window->menu->CursorSetting->isChecked());  // the standard cursor, from the defaults
    window.reset();
    EXPECT_EQ(stored_setting(20), "2");
    EXPECT_EQ(stored_setting(3), "111");
    ModalAnswer restored_game_notice;
    EXPECT_EQ(start()->Settings.line(20), "3");
}

TEST_F(GameFolder, TheStoredPositionSpeedAndModeAreApplied) {
    store_setting(2, "0");
    store_setting(3, "40");
    store_setting(4, "-3000");  // off every screen: centred on the primary one
    store_setting(6, "0");
    store_setting(12, "3");
    store_setting(13, "0");
    std::unique_ptr<TForm1> window = start();
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry()));
    EXPECT_TRUE(window->menu->Lightning1->isChecked());
    EXPECT_EQ(window->movetimer->interval(), 15);
    EXPECT_EQ(window->highlighttimer->interval(), 70);
    EXPECT_TRUE(window->menu->Difficult1->isChecked());
    EXPECT_FALSE(window->engine->regular_mode);
    EXPECT_TRUE(window->menu->Turn_Off_Sound1->isChecked());
    EXPECT_FALSE(window->menu->CursorSetting->isChecked());
}

class UnknownSpeed : public GameFolder, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownSpeed, ChecksNoEntryAndLeavesTheDesignIntervals) {
    store_setting(12, GetParam());
    std::unique_ptr<TForm1> window = start();
    EXPECT_FALSE(window->menu->Normal1->isChecked());
    EXPECT_FALSE(window->menu->Fast1->isChecked());
    EXPECT_FALSE(window->menu->Lightning1->isChecked());
    EXPECT_EQ(window->movetimer->interval(), 100);
    EXPECT_EQ(window->highlighttimer->interval(), 150);
    EXPECT_EQ(window->Settings.line(12), GetParam());
    window->Normal1Click();
    EXPECT_TRUE(window->menu->Normal1->isChecked());
    EXPECT_EQ(window->movetimer->interval(), 85);
    EXPECT_EQ(window->Settings.line(12), "1");
}

INSTANTIATE_TEST_SUITE_P(StoredSpeeds, UnknownSpeed, ::testing::Values("0", "4"));

class Shutdown : public GameFolder, public ::testing::WithParamInterface<bool> {};

TEST_P(Shutdown, QuitAndTheCloseBoxBothStoreEverything) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->QWidget::move(77, 88);
    window->Lightning1Click();
    if (GetParam())
        window->menu->Quit->trigger();
    else
        window->close();
    EXPECT_EQ(stored_setting(3), "77");
    EXPECT_EQ(stored_setting(4), "88");
    EXPECT_EQ(stored_setting(12), "3");
    EXPECT_EQ(stored_setting(20), "2");
    EXPECT_FALSE(window->movetimer->isActive());
    EXPECT_FALSE(window->highlighttimer->isActive());
}

INSTANTIATE_TEST_SUITE_P(Ways, Shutdown, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Quit" : "CloseBox"; });
