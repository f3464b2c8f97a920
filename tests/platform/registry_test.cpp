#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <utime.h>

#include <csignal>
#include <functional>

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
    ASSERT_TRUE(registry.flush()) << registry.error().toStdString();
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
};

class TroubledSave : public Store, public ::testing::WithParamInterface<SaveTrouble> {};

TEST_P(TroubledSave, LeavesTheWholeOldOrTheWholeNewFileAndSaysWhichOne) {
    ASSERT_TRUE(save("old"));
    const QByteArray old_file = file_bytes();
    GetParam().arrange(folder());
    const QByteArray big_value(256 * 1024, 'n');
    Registry registry;
    registry.write_string("set", "3", big_value);
    const bool saved = registry.flush();

    EXPECT_EQ(saved, GetParam().saved) << registry.error().toStdString();
    EXPECT_EQ(registry.error().isEmpty(), saved);
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
    EXPECT_FALSE(registry.error().isEmpty());
    EXPECT_EQ(file_bytes(), old_file);
    QFile copy(registry.damaged_copy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), old_file);
    EXPECT_NE(Registry().damaged_copy(), registry.damaged_copy());  // a second copy within the second
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
                    false},
        SaveTrouble{"LockIsAFolder", [](const QString& folder) { QDir().mkpath(folder + "/linvara.conf.lock"); },
                    false},
        SaveTrouble{"StaleEmptyLock", [](const QString& folder) { make_lock(folder, true); }, true},
        SaveTrouble{"EmptyLockJustMade", [](const QString& folder) { make_lock(folder, false); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

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
