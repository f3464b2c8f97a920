#include "game_fixture.h"

#include "platform/single_instance.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Real copies of the game sharing one config folder.
class SingleInstanceGame : public ::testing::Test {
protected:
    void start(QProcess& game) const { start_real_game(game, config.path()); }
    // Until a copy holds the lock and answers on its socket: then it runs its event loop.
    bool wait_until_a_copy_answers() const {
        return QTest::qWaitFor([&] { return ask_running_copy_to_raise(lock, 1000); }, 20000);
    }
    // A copy stores its first turn once the dropped stones have settled, and then nothing until it
    // is played or ends: the store has been the same for a second.
    bool wait_until_the_store_rests() const {
        QByteArray seen;
        QElapsedTimer unchanged;
        return QTest::qWaitFor([&] {
            const QByteArray now = store();
            if (now.isEmpty() || now != seen) {
                seen = now;
                unchanged.restart();
            }
            return !seen.isEmpty() && unchanged.elapsed() > 1000;
        }, 20000);
    }
    static bool ends_with_success(QProcess& game) {
        return game.waitForFinished(20000) && game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0;
    }
    // The store's bytes and time of change.
    QByteArray store() const {
        QFile file(config.filePath("Corvatek/linvara.conf"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll() + QFileInfo(file).lastModified().toString(Qt::ISODateWithMs).toUtf8();
    }

    QTemporaryDir config;
    const QString lock = config.filePath("Corvatek/quorvel.lock");
};

}  // namespace

TEST_F(SingleInstanceGame, SecondCopyRaisesTheFirstAndEndsWithoutTouchingTheStore) {
    QProcess first, second;
    start(first);
    ASSERT_TRUE(wait_until_a_copy_answers() && wait_until_the_store_rests());
    QFile seeded(config.filePath("Corvatek/linvara.conf"));  // the first copy writes its store when it ends
    ASSERT_TRUE(seeded.open(QIODevice::WriteOnly) && seeded.write("[set]\n") == 6 && seeded.flush());
    const QByteArray stored = store();
    QLocalSocket garbage, silent;  // callers that send garbage or nothing are dropped
    for (QLocalSocket* caller : {&garbage, &silent}) caller->connectToServer(server_path(lock));
    garbage.write(QByteArray(100000, 'x'));
    ASSERT_TRUE(garbage.waitForBytesWritten(20000) && silent.waitForConnected(20000));

    start(second);
    ASSERT_TRUE(ends_with_success(second)) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(second.readAllStandardError().contains("already running; its window was brought to the front.\n"));
    EXPECT_EQ(store(), stored);
    for (QLocalSocket* caller : {&garbage, &silent})
        EXPECT_TRUE(caller->state() == QLocalSocket::UnconnectedState || caller->waitForDisconnected(20000));
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    EXPECT_TRUE(ends_with_success(first)) << first.readAllStandardError().toStdString();
    EXPECT_NE(store(), stored);
}

TEST_F(SingleInstanceGame, LockLeftByAKilledCopyDoesNotStopTheNextStart) {
    QProcess game;
    start(game);
    ASSERT_TRUE(wait_until_a_copy_answers());
    for (const bool cut_short : {false, true}) {
        SCOPED_TRACE(cut_short ? "lock file cut short" : "lock file naming the killed copy");
        game.kill();
        ASSERT_TRUE(game.waitForFinished(20000) && QFileInfo::exists(lock));
        ASSERT_TRUE(!cut_short || QFile::resize(lock, 0));
        start(game);
        ASSERT_TRUE(wait_until_a_copy_answers());
    }
}
