#include "game_fixture.h"

#include "app/field_label.h"
#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "engine_fixture.h"
#include "highscores/highscore_dialog.h"
#include "localisation/languages.h"
#include "platform/cursors.h"
#include "platform/sound_player.h"
#include "presentation/game_over_dialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

FieldLabel* field(TForm1& window, int f) { return window.field_labels[static_cast<std::size_t>(f)]; }

bool shows_cursor(TForm1& window, int f, int number) {
    return field(window, f)->cursor().pixmap().toImage() == board_cursor(number).pixmap().toImage();
}

}  // namespace

TEST_F(GameFolder, AClickedStoneTravelsToTheClickedFieldAlongItsPathAndClicksMeanwhileOnlyRefreshCursors) {
    store_setting(13, "0");  // the game's own cursors
    std::unique_ptr<TForm1> window = start();
    set_board(*window->engine, {"R", "G"});
    click(field(*window, 0));
    EXPECT_EQ(window->engine->selected, &window->engine->field_images[0]);
    EXPECT_TRUE(shows_cursor(*window, 40, 2));
    click(field(*window, 8));
    EXPECT_TRUE(window->engine->busy);
    click(field(*window, 9));
    EXPECT_EQ(window->engine->selected->Tag, 0);
    click(window->preview_labels[0]);
    EXPECT_TRUE(shows_cursor(*window, 9, 1));
    window->move();
    EXPECT_TRUE(shows_cursor(*window, 40, 1));
    ASSERT_TRUE(run_until([&] { return !window->engine->busy; }));
    EXPECT_EQ(rest_code(window->engine->field_images[8].color), 1);
    EXPECT_EQ(window->engine->field_images[0].color, 0);
    EXPECT_EQ(window->engine->count_stones(), 5);  // three more dropped
}

// Once the first stones have appeared nothing ticks; a picked-up stone wakes both timers, and they
// sleep again when it is put back and when the stones after its travel, or a new game's, have appeared.
TEST_F(GameFolder, TheTimersRunOnlyWhileSomethingMoves) {
    std::unique_ptr<TForm1> window = start();
    Spielklasse& engine = *window->engine;
    const auto asleep = [&] { return !window->movetimer->isActive() && !window->highlighttimer->isActive(); };
    ASSERT_TRUE(run_until(asleep));
    set_board(engine, {"R", "G"});
    ASSERT_TRUE(run_until(asleep));
    click(field(*window, 0));
    EXPECT_TRUE(window->movetimer->isActive() && window->highlighttimer->isActive());
    const std::string at_rest = engine.field_images[0].picture;
    EXPECT_TRUE(run_until([&] { return engine.field_images[0].picture != at_rest; }));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(run_until(asleep));
    EXPECT_EQ(engine.field_images[0].picture, at_rest);
    click(field(*window, 0));
    click(field(*window, 8));
    const auto settled_with = [&](int stones) {
        ASSERT_TRUE(run_until(asleep));
        EXPECT_EQ(engine.count_stones(), stones);
        for (const TMyImage& image : engine.field_images) EXPECT_LE(image.color, kSpecialStone) << "field " << image.Tag;
    };
    settled_with(5);
    ModalAnswer answer([](QWidget* dialog) {
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    window->menu->New->trigger();
    settled_with(3);
}

// The stones of the drop that ended the game go on appearing under the game-over picture.
TEST_F(GameFolder, TheLastStonesOfAnEndedGameFinishAppearingUnderTheGameOverPicture) {
    std::unique_ptr<TForm1> window = start();
    Spielklasse& engine = *window->engine;
    std::vector<std::string> rows = lineless_board(0);
    rows[4][5] = rows[4][6] = '.';
    set_board(engine, rows);
    engine.score_display->set_value(7);  // below every highscore
    const auto appearing = [&] {
        return std::count_if(engine.field_images.begin(), engine.field_images.end(),
                             [](const TMyImage& image) { return is_appearing_code(image.color); });
    };
    long appearing_at_first = 0;
    long appearing_at_last = 0;
    ModalAnswer answer([&](QWidget* dialog) {
        if (dialog == window->game_over_window) {
            appearing_at_first = appearing();
            run_until([&] { return appearing() == 0; });
            appearing_at_last = appearing();
        }
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    click(field(*window, 40));
    click(field(*window, 41));
    ASSERT_TRUE(run_until([&] { return answer.answered() > 0 && !window->highlighttimer->isActive(); }));
    EXPECT_GT(appearing_at_first, 0);
    EXPECT_EQ(appearing_at_last, 0);
    EXPECT_EQ(engine.count_stones(), 3);
}

TEST_F(GameFolder, AStoneWithNoWayOutIsRefusedWithTheErrorSound) {
    store_setting(13, "0");  // the game's own cursors
    std::unique_ptr<TForm1> window = start();
    set_board(*window->engine, {"RG", "B"});
    click(field(*window, 0));
    EXPECT_TRUE(shows_cursor(*window, 40, 3));
    EXPECT_TRUE(shows_cursor(*window, 1, 1));
    const int before = window->sound->requests();
    click(field(*window, 40));
    EXPECT_FALSE(window->engine->busy);
    EXPECT_EQ(window->engine->selected, &window->engine->field_images[0]);
    EXPECT_EQ(window->sound->requests(), before + 1);
}

TEST_F(GameFolder, WithSoundOffNothingIsPlayedAtAll) {
    std::unique_ptr<TForm1> window = start();
    window->menu->Turn_Off_Sound1->trigger();
    EXPECT_EQ(window->Settings.line(2), "0");
    EXPECT_TRUE(window->menu->Turn_Off_Sound1->isChecked());
    set_board(*window->engine, {"RG", "B", "", "", "", "", "", "", "....R"});
    const int before = window->sound->requests();
    click(field(*window, 0));
    click(field(*window, 40));  // no way: the error sound
    click(field(*window, 76));
    click(field(*window, 80));  // a move and its drops
    ASSERT_TRUE(run_until([&] { return !window->engine->busy; }));
    ModalAnswer game_over([](QWidget* dialog) { dialog->findChild<QPushButton*>("OKBtn")->click(); });
    window->reset();  // a new game
    EXPECT_EQ(window->sound->requests(), before);
    window->menu->Turn_Off_Sound1->trigger();
    EXPECT_EQ(window->Settings.line(2), "1");
    EXPECT_TRUE(window->engine->sound_on);
}

TEST_F(GameFolder, TheStandardCursorSettingLeavesTheBoardAlone) {
    store_setting(13, "0");  // the game's own cursors
    std::unique_ptr<TForm1> window = start();
    window->menu->CursorSetting->trigger();
    EXPECT_EQ(window->Settings.line(13), "1");
    set_board(*window->engine, {"R"});
    click(field(*window, 0));
    EXPECT_EQ(field(*window, 40)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(field(*window, 40)->testAttribute(Qt::WA_SetCursor));
    window->menu->CursorSetting->trigger();
    EXPECT_EQ(window->Settings.line(13), "0");
    click(field(*window, 0));
    EXPECT_TRUE(shows_cursor(*window, 40, 2));
}

TEST_F(GameFolder, NewGameShowsTheGameOverPictureAndStartsWithThreeStones) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->engine->score_display->set_value(7);  // below every highscore
    QString title;
    bool picture_shown = false;
    ModalAnswer answer([&](QWidget* dialog) {
        title = dialog->windowTitle();
        auto* logo = dialog->findChild<QLabel*>("go_logo");
        picture_shown = logo && !logo->pixmap().isNull();
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    window->menu->New->trigger();
    EXPECT_EQ(answer.answered(), 1);
    EXPECT_EQ(title, "Game Over");
    EXPECT_TRUE(picture_shown);
    EXPECT_EQ(window->engine->count_stones(), 3);
    EXPECT_EQ(window->engine->score_display->get_value(), 0);
}

namespace {

struct GameEnd {
    const char* name;
    const char* language;
    int score;
    QString score_text;
    QString place_text;  // empty: the score enters no table, and no name is asked for
};

class GameEndResult : public GameFolder, public ::testing::WithParamInterface<GameEnd> {};

}  // namespace

// The game-over dialog tells the score and its place; then the name is asked for and the table
// shows the new entry, as before.
TEST_P(GameEndResult, TheGameOverDialogTellsTheScoreAndThePlaceItTakes) {
    const GameEnd& end = GetParam();
    std::unique_ptr<TForm1> window = start();
    window->show();
    window->languages->choose({QString::fromLatin1(end.language)});
    window->engine->score_display->set_value(end.score);
    QStringList titles;
    QStringList result;
    ModalAnswer answer([&](QWidget* dialog) {
        titles << dialog->windowTitle();
        if (const auto* place = dialog->findChild<QLabel*>("PlaceText")) {
            result << dialog->findChild<QLabel*>("ScoreText")->text();
            result << (place->isVisibleTo(dialog) ? place->text() : QString());
        }
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    window->menu->New->trigger();
    EXPECT_EQ(result, QStringList({end.score_text, end.place_text}));
    const Languages& texts = *window->languages;
    QStringList expected_titles{texts.get_string(63)};
    QStringList expected_lines = default_highscore_lines();
    if (!end.place_text.isEmpty()) {
        expected_titles << texts.get_string(301) << texts.get_string(86);
        expected_lines = insert_highscore(expected_lines, 2, new_highscore_line(2, end.score) + "Ann");
    }
    EXPECT_EQ(titles, expected_titles);
    EXPECT_EQ(window->Highscores->lines(), expected_lines);
}

INSTANTIATE_TEST_SUITE_P(
    Scores, GameEndResult,
    ::testing::Values(
        GameEnd{"EnglishEnteringAtPlace3", "en", 550, "Your score: 550", "New highscore: place 3 of 9"},
        GameEnd{"GermanEnteringAtPlace3", "de", 550, "Ihre Punktzahl: 550",
                "Neuer Rekord: Platz 3 von 9 in der Bestenliste"},
        GameEnd{"EnglishEnteringNowhere", "en", 7, "Your score: 7", ""},
        GameEnd{"GermanEnteringNowhere", "de", 7, "Ihre Punktzahl: 7", ""}),
    [](const ::testing::TestParamInfo<GameEnd>& info) { return info.param.name; });

// Arrow keys move a frame that stops at the edges, Space and Return act as clicks on its field,
// Escape puts a picked-up stone back but cannot call back a travelling one, and the mouse takes
// the frame away.
TEST_F(GameFolder, TheKeyboardPlaysAsTheMouseDoes) {
    std::unique_ptr<TForm1> window = start();
    window->show();
    Spielklasse& engine = *window->engine;
    set_board(engine, {"R", "G"});
    const auto* frame = window->findChild<QWidget*>("BoardFocus");
    const auto press = [&](Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::keyClick(window.get(), key);
    };
    ASSERT_FALSE(frame->isVisible());
    press(Qt::Key_Left);  // shows the frame where it stands
    EXPECT_EQ(frame->geometry(), field(*window, 40)->geometry());
    press(Qt::Key_Up, 6);
    press(Qt::Key_Left, 6);
    EXPECT_EQ(frame->geometry(), field(*window, 0)->geometry());
    press(Qt::Key_Space);
    EXPECT_EQ(engine.selected, &engine.field_images[0]);
    press(Qt::Key_Escape);
    EXPECT_EQ(engine.selected, nullptr);
    EXPECT_EQ(engine.field_images[0].color, 1);
    press(Qt::Key_Return);
    press(Qt::Key_Right, 8);
    press(Qt::Key_Return);
    ASSERT_TRUE(engine.busy);
    press(Qt::Key_Escape);
    press(Qt::Key_Down);
    press(Qt::Key_Space);  // a click during the travel changes nothing
    EXPECT_EQ(engine.selected, &engine.field_images[0]);
    ASSERT_TRUE(run_until([&] { return !engine.busy; }));
    EXPECT_EQ(rest_code(engine.field_images[8].color), 1);
    EXPECT_EQ(frame->geometry(), field(*window, 17)->geometry());
    click(field(*window, 9));
    EXPECT_FALSE(frame->isVisible());
}
