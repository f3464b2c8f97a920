#include "game_fixture.h"
#include "virtual_screen.h"

#include "app/highscore_tables.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

struct Ending {
    const char* name;
    int signal;
    int wait_ms;  // after the handler stands: 0 ends the start-up, 2500 the running game after the splash
};

class EndingSignal : public ::testing::TestWithParam<Ending> {};

}  // namespace

TEST_P(EndingSignal, EndsTheRealProgramAsQuitDoesWithEverythingStored) {
    QTemporaryDir config;
    QProcess game;
    start_real_game(game, config.path());
    ASSERT_TRUE(game.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches_signal(game.processId(), GetParam().signal); }, 20000));
    QThread::msleep(GetParam().wait_ms);
    ::kill(static_cast<pid_t>(game.processId()), GetParam().signal);
    ASSERT_TRUE(game.waitForFinished(20000));
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game.exitCode(), 0) << game.readAllStandardError().toStdString();
    use_config_folder(config.path());
    EXPECT_EQ(rotate_text(Registry().read_string("set", "21")), "2");  // the first start, counted and stored
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignal,
                         ::testing::Values(Ending{"TermWhileRunning", SIGTERM, 2500}, Ending{"IntAtStartUp", SIGINT, 0},
                                           Ending{"HangupAtStartUp", SIGHUP, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The real program, one move from its end, is ended while the name entry shows: the ended game is
// not stored, its score goes in once under the name typed so far, and the next start begins anew.
TEST_F(GameFolder, AGameEndedWhileTheNameIsAskedForIsNotStoredAndScoresOnce) {
    std::vector<std::string> rows = lineless_board(0);
    rows[4][5] = rows[4][6] = '.';  // the stone on the middle field goes right; two drops end the game
    QByteArray stones;
    for (const std::string& row : rows)
        for (const char stone : row) stones += static_cast<char>('0' + (stone == '.' ? 0 : code_of(stone)));
    store_setting(14, QByteArray(81, '0'));
    store_setting(15, stones);
    store_setting(16, "900");
    store_setting(19, "0");  // no autosave notice
    const VirtualScreen screen;
    ASSERT_FALSE(screen.display().isEmpty());
    QProcess game;
    start_real_game(game, config.path(), screen.display());
    ASSERT_TRUE(game.waitForStarted());
    const QString main_window = screen.wait_for_window(game.processId(), "^Quorvel 1\\.20$");
    ASSERT_FALSE(main_window.isEmpty());
    ASSERT_TRUE(screen.send(main_window, "key", {"space", "Right", "space"}));
    const QString game_over = screen.wait_for_window(game.processId(), "^Game Over$");
    ASSERT_FALSE(game_over.isEmpty());
    ASSERT_TRUE(screen.send(game_over, "key", {"Return"}));
    const QString name_entry = screen.wait_for_window(game.processId(), "^New Highscore!$");
    ASSERT_FALSE(name_entry.isEmpty());
    ASSERT_TRUE(screen.send(name_entry, "type", {"Zo"}));
    ::kill(static_cast<pid_t>(game.processId()), SIGTERM);
    ASSERT_TRUE(game.waitForFinished(20000));
    EXPECT_EQ(game.exitCode(), 0);

    EXPECT_EQ(stored_setting(15), "");
    const auto entries_of_900 = [] { return load_highscores(Registry()).filter(QRegularExpression("^\\d\\.    900 ")); };
    EXPECT_EQ(entries_of_900(), QStringList{"1.    900       Zo"});
    start_real_game(game, config.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches_signal(game.processId(), SIGTERM); }, 20000));
    QThread::msleep(2500);
    ::kill(static_cast<pid_t>(game.processId()), SIGTERM);
    ASSERT_TRUE(game.waitForFinished(20000));
    EXPECT_EQ(stored_setting(15).count('0'), 81 - 3);  // a new game's three stones
    EXPECT_EQ(entries_of_900().size(), 1);
}
