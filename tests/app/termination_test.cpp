#include "game_fixture.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// True once the process has its own handler for `signal` (bit signal - 1 of SigCgt).
bool catches(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return catches(game.processId(), GetParam().signal); }, 20000));
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
