#include "platform/registry.h"

#include "hang_guard.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <csignal>
#include <functional>

std::ostream& operator<<(std::ostream& out, const StoreError& error) {
    return out << "cause " << error.cause << " at " << error.subject.toStdString() << (error.disk_full ? ", disk full" : "");
}

namespace {

// An empty config folder of its own for every test; the store file in it is the test's.
class Store : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QDir().mkpath(folder());
    }
    QString folder() const { return config.path() + "/Corvatek"; }
    QString file() const { return folder() + "/linvara.conf"; }
    QByteArray file_bytes() const {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool save(const QByteArray& value) {
        Registry registry;
        registry.write_string("set", "3", value);
        return registry.flush();
    }

    QTemporaryDir config;
};

QByteArray every_byte() {
    QByteArray bytes;
    for (int b = 255; b >= 0; --b) bytes.append(static_cast<char>(b));
    return bytes;
}

// Values whose bytes an INI writer can garble: every byte, escapes that swallow the next
// character, QSettings' own markers, blanks at the ends, the list and comment characters.
const std::vector<QByteArray> kAwkwardValues{
    every_byte(), "\x01" "9af\\x41", "@ByteArray(x)", "@@", "@", "  two blanks  ", "a;b,c=d\"e\"", "", "\xE4" "0",
    "\\", "\x7F" "F\r\n"};

}  // namespace

TEST_F(Store, AStoreQSettingsWroteReadsWholeAndEveryByteSurvivesOurWriterForQSettingsToo) {
    {
        QSettings old(file(), QSettings::IniFormat);
        for (std::size_t i = 0; i < kAwkwardValues.size(); ++i)
            old.setValue("hi/" + QString::number(i + 1), QString::fromLatin1(kAwkwardValues[i]));
        old.setValue("set/version", every_byte());
        old.setValue("other/key", "kept");
        old.setValue("gone/key", "deleted");
    }
    Registry registry;
    registry.delete_key("gone");
    ASSERT_TRUE(registry.flush()) << registry.error();
    QFile::copy(file(), folder() + "/fresh.conf");  // a name QSettings has read nothing from yet
    const Registry again;
    QSettings qsettings(folder() + "/fresh.conf", QSettings::IniFormat);
    for (std::size_t i = 0; i < kAwkwardValues.size(); ++i) {
        const QString name = QString::number(i + 1);
        EXPECT_EQ(registry.read_string("hi", name), kAwkwardValues[i]) << i;
        EXPECT_EQ(again.read_string("hi", name), kAwkwardValues[i]) << i;
        EXPECT_EQ(qsettings.value("hi/" + name).toString().toLatin1(), kAwkwardValues[i]) << i;
    }
    EXPECT_EQ(qsettings.value("set/version").toByteArray(), every_byte());
    EXPECT_EQ(qsettings.value("other/key").toString(), "kept");
    EXPECT_FALSE(qsettings.childGroups().contains("gone"));
    EXPECT_TRUE(again.damaged_copy().isEmpty());
}

// What can go wrong on the way to the disk, and what the store file must still hold after it.
struct SaveTrouble {
    const char* name;
    std::function<void(const QString& folder)> arrange;
    bool saved;
    StoreError::Cause why = StoreError::kNone;
    bool lock_held = false;  // by a program that lives through the save
};

class TroubledSave : public Store, public ::testing::WithParamInterface<SaveTrouble> {};

TEST_P(TroubledSave, LeavesTheWholeOldOrTheWholeNewFileAndSaysWhichOne) {
    ASSERT_TRUE(save("old"));
    const QByteArray old_file = file_bytes();
    GetParam().arrange(folder());
    QLockFile other_program(folder() + "/linvara.conf.lock");
    if (GetParam().lock_held) {
        ASSERT_TRUE(other_program.tryLock(0));
    }
    const QByteArray big_value(256 * 1024, 'n');
    Registry registry;
    registry.write_string("set", "3", big_value);
    const bool saved = registry.flush();

    EXPECT_EQ(saved, GetParam().saved) << registry.error();
    EXPECT_EQ(registry.error().cause, GetParam().why) << registry.error();
    if (!QFileInfo(file()).isFile()) return;
    EXPECT_EQ(Registry().read_string("set", "3"), saved ? big_value : "old");
    if (!saved) {
        EXPECT_EQ(file_bytes(), old_file);
    }
}

// The file size limit stands in for a full disk: the write fails part way, as with ENOSPC.
void with_small_file_size_limit(const std::function<void()>& run) {
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 64 * 1024;
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    run();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);
}

TEST_F(Store, AFullDiskKeepsTheOldFileAndIsReportedEvenAfterADamagedRead) {
    {
        QFile damaged(file());
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("[set]\n3=\"q\"\nno value here\n");
    }
    const QByteArray old_file = file_bytes();
    Registry registry;
    ASSERT_FALSE(registry.damaged_copy().isEmpty());
    EXPECT_EQ(registry.read_string("set", "3"), "q");
    registry.write_string("set", "3", QByteArray(256 * 1024, 'n'));
    bool saved = true;
    with_small_file_size_limit([&] { saved = registry.flush(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(registry.error().cause, StoreError::kNotWritten);
    EXPECT_EQ(file_bytes(), old_file);
    QFile copy(registry.damaged_copy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), old_file);
    EXPECT_NE(Registry().damaged_copy(), registry.damaged_copy());  // a second copy within the second
}

// A file system of its own that fills up, where this machine lets the tests mount one.
TEST_F(Store, AFullDiskIsNamedAsTheReasonAndKeepsTheOldFile) {
    const QByteArray target = QFile::encodeName(folder());
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
    const auto unmount = qScopeGuard([&] { ::umount(target.constData()); });
    ASSERT_TRUE(save("old"));
    QFile filler(folder() + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
    }
    filler.close();
    Registry registry;
    registry.write_string("set", "3", "new");
    EXPECT_FALSE(registry.flush());
    EXPECT_TRUE(registry.error().disk_full) << registry.error();
    EXPECT_EQ(Registry().read_string("set", "3"), "old");
}

void make_lock(const QString& folder, bool old) {
    QFile lock(folder + "/linvara.conf.lock");
    lock.open(QIODevice::WriteOnly);
    lock.close();
    if (old) {
        const utimbuf long_ago{1000, 1000};
        utime(QFile::encodeName(lock.fileName()).constData(), &long_ago);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Store, TroubledSave,
    ::testing::Values(
        SaveTrouble{"NothingInTheWay", [](const QString&) {}, true},
        SaveTrouble{"StoreFileIsAFolder",
                    [](const QString& folder) {
                        QFile::remove(folder + "/linvara.conf");
                        QDir().mkpath(folder + "/linvara.conf/inside");
                    },
                    false, StoreError::kInTheWay},
        SaveTrouble{"LockIsAFolder", [](const QString& folder) { QDir().mkpath(folder + "/linvara.conf.lock"); },
                    false, StoreError::kInTheWay},
        SaveTrouble{"LockHeldByALiveProgram", [](const QString&) {}, false, StoreError::kLockHeld, true},
        SaveTrouble{"StaleEmptyLock", [](const QString& folder) { make_lock(folder, true); }, true},
        SaveTrouble{"EmptyLockJustMadeByAProgramThatDied", [](const QString& folder) { make_lock(folder, false); },
                    true}),
    [](const auto& info) { return std::string(info.param.name); });

// A store as the game leaves it: its settings and a highscore table.
void save_settings_and_highscores() {
    Registry registry;
    for (int n = 1; n <= 30; ++n) registry.write_string("set", QString::number(n), QByteArray::number(n * 7));
    for (int n = 1; n <= 20; ++n) registry.write_string("hi", QString::number(n), "Name " + QByteArray::number(n));
    ASSERT_TRUE(registry.flush()) << registry.error();
}

qsizetype line_start_before(const QByteArray& text, double fraction) {
    return text.lastIndexOf('\n', qsizetype(double(text.size()) * fraction)) + 1;
}

QByteArray written_by_qsettings() {
    QTemporaryDir folder;
    {
        QSettings settings(folder.filePath("q.conf"), QSettings::IniFormat);
        settings.setValue("set/3", "q");
        settings.setValue("hi/1", "Name 1");
    }
    QFile file(folder.filePath("q.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What is in the store's place at the next start, made from the store the game wrote.
struct StoreText {
    const char* label;
    std::function<QByteArray(const QByteArray& written)> text;
    bool cut_short;
};

void PrintTo(const StoreText& text, std::ostream* out) { *out << text.label; }

class StoreTexts : public Store, public ::testing::WithParamInterface<StoreText> {};

TEST_P(StoreTexts, AStoreCutShortIsCopiedAsideAndAWholeOneIsTakenAsItIs) {
    save_settings_and_highscores();
    const QByteArray text = GetParam().text(file_bytes());
    QFile store(file());
    ASSERT_TRUE(store.open(QIODevice::WriteOnly) && store.write(text) == text.size());
    store.close();

    const Registry registry;
    EXPECT_EQ(registry.damaged_copy().isEmpty(), !GetParam().cut_short);
    if (GetParam().cut_short) {
        QFile copy(registry.damaged_copy());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), text);
    } else {
        EXPECT_EQ(registry.read_string("hi", "1"), "Name 1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Store, StoreTexts,
    ::testing::Values(
        StoreText{"Whole", [](const QByteArray& written) { return written; }, false},
        StoreText{"CutAtTheLineStartBefore37Percent",
                  [](const QByteArray& written) { return written.left(line_start_before(written, 0.37)); }, true},
        StoreText{"CutAtTheLineStartBeforeHalf",
                  [](const QByteArray& written) { return written.left(line_start_before(written, 0.5)); }, true},
        StoreText{"CutAtTheLineStartBefore63Percent",
                  [](const QByteArray& written) { return written.left(line_start_before(written, 0.63)); }, true},
        StoreText{"CutInsideAValueBeforeHalf",
                  [](const QByteArray& written) { return written.left(written.lastIndexOf("=\"", written.size() / 2) + 3); },
                  true},
        StoreText{"CutAfter12Bytes", [](const QByteArray& written) { return written.left(12); }, true},
        StoreText{"CutAfter40Bytes", [](const QByteArray& written) { return written.left(40); }, true},
        StoreText{"WrittenByQSettings", [](const QByteArray&) { return written_by_qsettings(); }, false},
        StoreText{"WrittenByHand", [](const QByteArray&) { return QByteArray("; mine\n[hi]\n1=Name 1\n\n[set]\n3=q\n"); },
                  false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Store, AFifoInThePlaceOfTheStoreIsNeitherReadNorWrittenOver) {
    ASSERT_EQ(mkfifo(QFile::encodeName(file()).constData(), 0600), 0);
    const HangGuard guard;
    Registry registry;
    registry.write_string("set", "3", "q");
    EXPECT_FALSE(registry.flush());
    EXPECT_EQ(registry.error().cause, StoreError::kInTheWay);
    EXPECT_EQ(registry.error().subject, file());
    EXPECT_TRUE(registry.damaged_copy().isEmpty());
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(file()).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(Store, ASaveAKillInterruptedLeavesNoTemporaryFileAfterTheNextStart) {
    ASSERT_TRUE(save("old"));
    QFile left_over(folder() + "/linvara.conf.Ab12Cd");
    ASSERT_TRUE(left_over.open(QIODevice::WriteOnly));
    left_over.write("[set]\n3=\"half");
    left_over.close();
    const Registry registry;
    EXPECT_FALSE(left_over.exists());
    EXPECT_EQ(registry.read_string("set", "3"), "old");
}
