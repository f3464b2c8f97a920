#include "game_fixture.h"

#include "app/autosave.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

int stones_on(const QString& board) { return board.size() - board.count(u'0'); }

}  // namespace

TEST(Autosave, StoredLinesAreCheckedBeforeAnythingIsRestored) {
    const QString board(81, u'1');
    EXPECT_TRUE(valid_board_text(board));
    EXPECT_FALSE(valid_board_text(board.left(80)));
    EXPECT_FALSE(valid_board_text(board.left(80) + "x"));
    for (const char* score : {"0", "140", "4999", "00000000000000000000000004999"})
        EXPECT_TRUE(valid_score_text(score)) << score;
    for (const char* score : {"", "5000", "12a", "-1", "999999999999999999999999999999", "000000000005000"})
        EXPECT_FALSE(valid_score_text(score)) << score;
}

// The restored game stays stored until a later save replaces it.
TEST_F(GameFolder, AQuitGameComesBackWithItsStonesKindsAndScoreAndTheNoticeCanBeSilenced) {
    std::unique_ptr<TForm1> window = start();
    set_board(*window->engine, {"R*D", "", "....G"});
    window->engine->set_field(40, 16);  // a special stone in a highlight frame rests as a special stone
    window->engine->score_display->set_value(140);
    window->engine->extra_stones = 2;
    const std::vector<std::string> quit_board = board_picture(*window->engine);
    window.reset();
    const QByteArray stored_stones = stored_setting(15);
    EXPECT_EQ(stones_on(stored_stones), 5);

    ModalAnswer notice([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(true);
        dialog->findChild<QPushButton*>("Button1")->click();
    });
    window = start();
    ASSERT_EQ(notice.answered(), 1);
    EXPECT_TRUE(notice.texts[0].startsWith("[The game goes on...] Your last game"));
    EXPECT_EQ(board_picture(*window->engine)[0], quit_board[0]);
    EXPECT_EQ(board_picture(*window->engine)[2], quit_board[2]);
    EXPECT_EQ(window->engine->field_images[40].color, kSpecialStone);
    EXPECT_EQ(window->engine->field_images[40].joker_type, kJoker);
    EXPECT_EQ(window->engine->count_stones(), 5);  // nothing dropped
    EXPECT_EQ(window->engine->stone_count, 5);
    EXPECT_EQ(window->engine->score_display->get_value(), 140);
    EXPECT_EQ(window->engine->extra_stones, 2);
    EXPECT_EQ(window->Settings.line(19), "0");
    EXPECT_EQ(stored_setting(15), stored_stones);
    EXPECT_EQ(stored_setting(16), "140");
}

TEST_F(GameFolder, AStoredGameTheEngineCouldNotHaveMadeStillRestsAndBadLinesAreIgnored) {
    QString kinds(81, u'0'), stones(81, u'0');
    kinds[0] = u'2', stones[0] = u'3';  // a blue stone with a kind: it stays a plain blue stone
    kinds[1] = u'0', stones[1] = u'8';  // a special stone without a kind rests as a joker
    store_setting(14, kinds.toLatin1());
    store_setting(15, stones.toLatin1());
    store_setting(16, "77");
    ModalAnswer notice;
    std::unique_ptr<TForm1> window = start();
    EXPECT_EQ(board_picture(*window->engine)[0], "B*.......");
    EXPECT_EQ(window->engine->field_images[0].joker_type, kNoSpecial);
    window.reset();

    for (const QByteArray& line_15 : {QByteArray(80, '1'), QByteArray(80, '1') + "x"}) {
        store_setting(14, QByteArray(81, '0'));
        store_setting(15, line_15);
        store_setting(16, "5000");
        window = start();
        EXPECT_EQ(window->engine->count_stones(), 3);  // a fresh game
        EXPECT_EQ(window->Settings.line(15), QString::fromLatin1(line_15));
        window.reset();
    }
}

// Killed after a settled turn, and killed again once that game was restored, before any move.
TEST_F(GameFolder, AKilledGameComesBackWithItsLastSettledTurnAfterEveryKill) {
    QProcess game;
    const auto kill_hard = [&] {
        ::kill(static_cast<pid_t>(game.processId()), SIGKILL);
        game.waitForFinished();
    };
    start_real_game(game, config.path());
    ASSERT_TRUE(game.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stones_on(stored_setting(15)) == 3; }, 20000));
    kill_hard();
    const QByteArray stored = stored_setting(15);
    start_real_game(game, config.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches_signal(game.processId(), SIGTERM); }, 20000));
    QThread::msleep(2500);  // restored and showing the notice
    kill_hard();
    ModalAnswer notice;
    std::unique_ptr<TForm1> window = start();
    EXPECT_EQ(notice.answered(), 1);
    EXPECT_EQ(window->engine->count_stones(), 3);
    for (int f = 0; f < 81; ++f) EXPECT_EQ(rest_code(window->engine->field_images[f].color), stored[f] - '0') << f;
}

TEST_F(GameFolder, AStoreThatCannotBeWrittenIsReportedOncePerRun) {
    std::unique_ptr<TForm1> window = start();
    QFile::remove(config.filePath("Corvatek/linvara.conf"));
    QDir().mkpath(config.filePath("Corvatek/linvara.conf/in the way"));
    ModalAnswer boxes([](QWidget* dialog) {
        if (auto* yes = dialog->findChild<QPushButton*>("Button1")) return yes->click();  // to the mode change
        if (!answer_game_end(dialog)) ModalAnswer::close_window(dialog);
    });
    window->engine->score_display->set_value(20);  // a highscore, which cannot be stored either
    window->menu->Difficult1->trigger();
    ASSERT_TRUE(run_until([&] { return boxes.texts.filter("could not be saved").size() == 1 && !window->engine->busy; }));
    QTest::qWait(300);  // the new game's stones settle: a turn the store cannot take either
    window.reset();
    EXPECT_EQ(boxes.texts.filter("could not be saved").size(), 1) << boxes.texts.join('\n').toStdString();
}
