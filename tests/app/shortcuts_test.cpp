#include "game_fixture.h"

#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "engine_fixture.h"
#include "localisation/address_opener.h"
#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QTest>

namespace {

// The title the rules topic of the interface language has when the help shows it.
QString rules_title(const TForm1& window) {
    const AddressOpener opener(*window.languages);
    HelpWindow help(*window.languages, opener);
    help.open_topic(QString::fromLatin1(window.languages->block().rules_topic));
    return help.windowTitle();
}

struct StandardKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QAction* TForm1::MenuItems::*entry;  // the menu entry that shows the key; none for the Game menu's own
    bool (*done)(TForm1& window);
    int modal_windows;
};

class StandardKeys : public GameFolder, public ::testing::WithParamInterface<StandardKey> {};

}  // namespace

TEST_P(StandardKeys, WorkWhileTheBoardHasTheKeyboardFrame) {
    const StandardKey& c = GetParam();
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    set_board(*window->engine, {"RGB", "RGB"});
    window->engine->score_display->set_value(7);  // below every highscore
    QTest::keyClick(window.get(), Qt::Key_Left);
    ASSERT_TRUE(window->findChild<QWidget*>("BoardFocus")->isVisible());
    ModalAnswer answer([](QWidget* dialog) {
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    QTest::keyClick(window.get(), c.key, c.modifiers);
    EXPECT_TRUE(run_until([&] { return c.done(*window); }));
    EXPECT_EQ(answer.answered(), c.modal_windows);
    if (c.entry) {
        EXPECT_EQ((window->menu.get()->*c.entry)->shortcut(), QKeySequence(c.modifiers | c.key));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StandardKeys,
    ::testing::Values(
        StandardKey{"F1ShowsTheRules", Qt::Key_F1, Qt::NoModifier, &TForm1::MenuItems::Rules,
                    [](TForm1& window) {
                        const auto* help = window.findChild<HelpWindow*>();
                        return help && help->isVisible() && help->windowTitle() == rules_title(window);
                    },
                    0},
        StandardKey{"CtrlNStartsANewGameAfterTheGameOver", Qt::Key_N, Qt::ControlModifier, &TForm1::MenuItems::New,
                    [](TForm1& window) {
                        return window.engine->count_stones() == 3 && window.engine->score_display->get_value() == 0;
                    },
                    1},
        StandardKey{"CtrlQQuits", Qt::Key_Q, Qt::ControlModifier, &TForm1::MenuItems::Quit,
                    [](TForm1& window) { return !window.isVisible(); }, 0},
        StandardKey{"CtrlGOpensTheGameMenu", Qt::Key_G, Qt::ControlModifier, nullptr,
                    [](TForm1& window) { return window.menu->Game->isVisible(); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });
