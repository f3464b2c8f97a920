#include "game_fixture.h"

#include "platform/single_instance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>

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

enum class Outcome { takes_the_lock, runs_without_the_lock, hands_over };

// What a case keeps alive while the game starts.
struct Kept {
    std::unique_ptr<QLockFile> lock;
    QProcess process;
    ~Kept() {
        process.kill();
        process.waitForFinished();
    }
};

struct LockPathCase {
    const char* name;
    std::function<bool(const QString& lock, Kept& kept)> put;  // puts something at the lock path
    Outcome outcome;
    const char* says;  // on stderr after the lock path; nothing when the path goes unmentioned
};

class WhatStandsAtTheLockPath : public SingleInstanceGame, public ::testing::WithParamInterface<LockPathCase> {};

// A lock file in the format QLockFile reads: pid, application, host name.
bool write_lock_file(const QString& lock, qint64 pid, const QString& host_name) {
    QFile file(lock);
    const QByteArray info = QByteArray::number(pid) + "\nquorvel\n" + host_name.toUtf8() + "\n";
    return file.open(QIODevice::WriteOnly) && file.write(info) == info.size();
}

// Qt takes a live process of the game's name for the holder, as it does one whose name it cannot
// read (another user's).
bool lock_file_naming_a_namesake(const QString& lock, Kept& kept) {
    const QString namesake = QFileInfo(lock).path() + "/quorvel";
    if (!QFile::copy(QStandardPaths::findExecutable("sleep"), namesake)) return false;
    kept.process.start(namesake, {"1000"});
    return kept.process.waitForStarted() &&
           write_lock_file(lock, kept.process.processId(), QSysInfo::machineHostName());
}

// Qt cannot tell whether a process on another host lives: after a change of host name every lock
// file looks held.
bool lock_file_from_another_host_name(const QString& lock, Kept&) {
    return write_lock_file(lock, ::getppid(), "elsewhere");
}

// A copy that holds the lock but does not listen yet, as while its window is built.
bool lock_held_by_a_starting_copy(const QString& lock, Kept& kept) {
    kept.lock = std::make_unique<QLockFile>(lock);
    return kept.lock->tryLock(0);
}

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

TEST_P(WhatStandsAtTheLockPath, DecidesWhetherACopyRuns) {
    Kept kept;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(lock).path()) && GetParam().put(lock, kept));
    QProcess game;
    start(game);
    if (GetParam().outcome == Outcome::hands_over) {
        ASSERT_TRUE(ends_with_success(game));
        EXPECT_TRUE(kept.lock->isLocked() && QFileInfo(lock).isFile());
    } else {
        EXPECT_TRUE(GetParam().outcome == Outcome::takes_the_lock ? wait_until_a_copy_answers()
                                                                  : wait_until_the_store_rests());
        ASSERT_EQ(game.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(game.processId()), SIGTERM);
        EXPECT_TRUE(ends_with_success(game));
    }
    const QString said = QString::fromLocal8Bit(game.readAllStandardError());
    const QString says = GetParam().says;
    EXPECT_TRUE(says.isEmpty() ? !said.contains(lock) : said.contains(lock + says)) << said.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    SingleInstance, WhatStandsAtTheLockPath,
    ::testing::Values(
        LockPathCase{"EmptyFolder", [](const QString& lock, Kept&) { return QDir().mkdir(lock); },
                     Outcome::takes_the_lock, " was a folder in place of the lock file; it was removed.\n"},
        LockPathCase{"FolderWithAFileInIt", [](const QString& lock, Kept&) { return QDir().mkpath(lock + "/kept"); },
                     Outcome::runs_without_the_lock,
                     " is a folder in place of the lock file and cannot be removed; running without the lock.\n"},
        LockPathCase{"NamedPipe", [](const QString& lock, Kept&) { return ::mkfifo(qPrintable(lock), 0600) == 0; },
                     Outcome::takes_the_lock, " was a named pipe in place of the lock file; it was removed.\n"},
        LockPathCase{"LockFileNamingALiveNamesake", lock_file_naming_a_namesake, Outcome::takes_the_lock, ""},
        LockPathCase{"LockFileFromAnotherHostName", lock_file_from_another_host_name, Outcome::takes_the_lock, ""},
        LockPathCase{"LockHeldByACopyNotYetListening", lock_held_by_a_starting_copy, Outcome::hands_over, ""}),
    ByName());
