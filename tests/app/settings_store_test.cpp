#include "game_fixture.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// Each test gets an empty config folder of its own.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        use_config_folder(config.path());
    }
    QString conf_file() const { return config.path() + "/Corvatek/linvara.conf"; }

    QTemporaryDir config;
};

}  // namespace

TEST_F(SettingsStore, AFirstStartWritesTheVersionAndTheScrambledDefaults) {
    SettingsList settings;
    {
        Registry registry;
        settings.load_settings(registry);
        ASSERT_TRUE(registry.flush());
    }
    QSettings raw("Corvatek", "linvara");
    EXPECT_EQ(raw.value("set/version").toByteArray(), QByteArray("\x00\x00\x00\x40\x33\x33\xF3\x3F", 8));
    EXPECT_EQ(raw.value("set/3").toString(), "q");
    EXPECT_EQ(raw.value("set/4").toString(), "qqq");
    EXPECT_EQ(raw.value("set/13").toString(), "r");
    EXPECT_EQ(raw.value("set/19").toString(), "p");
    EXPECT_FALSE(raw.contains("set/1"));
    EXPECT_FALSE(raw.contains("set/8"));
    EXPECT_EQ(raw.allKeys().size(), 18);

    EXPECT_EQ(settings.line(2), "1");    // sound on
    EXPECT_EQ(settings.line(3), "111");  // window left
    EXPECT_EQ(settings.line(11), "1");   // no style chosen
    EXPECT_EQ(settings.line(12), "2");   // speed Fast
    EXPECT_EQ(settings.line(16), "0");
    EXPECT_EQ(settings.line(18), "0");
    EXPECT_EQ(settings.line(7), "1");    // empty numeric line replaced
    EXPECT_EQ(settings.line(14), "1");   // a text line, kept as stored
}

TEST_F(SettingsStore, LinesSurviveSaveAndLoadIncludingNonAsciiText) {
    SettingsList settings;
    Registry registry;
    settings.load_settings(registry);
    settings.set_line(11, "Jürgens Łukasz-Stil.lvr");
    settings.set_line(14, QString(81, '0'));
    settings.set_value(3, -40);
    settings.set_line(0, "AZ@[\\]^_`{|}~ \t");
    ASSERT_TRUE(settings.save_settings(registry));
    EXPECT_EQ(settings.line(11), "Jürgens Łukasz-Stil.lvr");  // plain again in memory

    Registry again;
    SettingsList loaded;
    loaded.load_settings(again);
    EXPECT_EQ(loaded.line(11), "Jürgens Łukasz-Stil.lvr");
    EXPECT_EQ(loaded.line(14), QString(81, '0'));
    EXPECT_EQ(loaded.value(3), -40);
    EXPECT_EQ(loaded.line(0), "AZ@[\\]^_`{|}~ \t");
}

// Raw stored values as a damaged, old or flipped store holds them, and the lines they load as.
struct LoadCase {
    const char* name;
    std::map<int, QByteArray> stored;  // store key -> raw bytes
    std::map<int, QString> loaded;     // settings line -> text
};

class StoredValues : public SettingsStore, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(StoredValues, LoadAsTheProgramExpects) {
    {
        QSettings raw("Corvatek", "linvara");
        for (const auto& [key, bytes] : GetParam().stored) raw.setValue("set/" + QString::number(key), QString::fromLatin1(bytes));
    }
    Registry registry;
    SettingsList settings;
    settings.load_settings(registry);
    for (const auto& [line, text] : GetParam().loaded) EXPECT_EQ(settings.line(line), text) << "line " << line;
    ASSERT_TRUE(settings.save_settings(registry));
    EXPECT_EQ(QSettings("Corvatek", "linvara").value("set/3").toString().toLatin1(), rotate_text(settings.line(2).toLatin1()));
}

INSTANTIATE_TEST_SUITE_P(
    Stores, StoredValues,
    ::testing::Values(
        LoadCase{"DamagedNumbersBecomeOneSignedOnesStay",
                 {{3, "q"}, {13, rotate_text("5x")}, {4, rotate_text("-3")}, {12, rotate_text("my style.lvr")}},
                 {{12, "1"}, {3, "-3"}, {11, "my style.lvr"}, {5, "1"}}},
        // A sound value neither "p" nor "q" marks a flipped store; it is stored rotated from then on.
        LoadCase{"FlippedStore",
                 {{3, flip_text("0")}, {13, flip_text("3")}, {12, flip_text("a.lvr")}, {5, rotate_text("77")}},
                 {{2, "0"}, {12, "3"}, {11, "a.lvr"}, {4, "1"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Scrambling, RotationKeepsTheHistoricBytesOnAsciiAndBothTransformsUndoThemselves) {
    EXPECT_EQ(rotate_text("1"), "q");
    EXPECT_EQ(rotate_text("0"), "p");
    EXPECT_EQ(rotate_text("2"), "r");
    EXPECT_EQ(rotate_text("A"), QByteArray("\x01"));
    EXPECT_EQ(flip_text("1"), QByteArray("\xB1"));
    QByteArray every_byte;
    for (int b = 0; b < 256; ++b) every_byte.append(static_cast<char>(b));
    EXPECT_EQ(rotate_text(rotate_text(every_byte)), every_byte);
    EXPECT_EQ(flip_text(flip_text(every_byte)), every_byte);
    EXPECT_EQ(rotate_text("\xC3\xA4"), QByteArray("\x83\xE4"));  // the UTF-8 of "ä" keeps its high bits
}

TEST_F(SettingsStore, ADamagedStoreIsCopiedAsideBeforeAnythingOverwritesIt) {
    QDir().mkpath(config.path() + "/Corvatek");
    QFile file(conf_file());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray garbage("[set\n3=q\n\x01\x02\xff[[[\n=\n[hi]\n1=Tom\n");
    file.write(garbage);
    file.close();
    Registry registry;
    SettingsList settings;
    settings.load_settings(registry);
    EXPECT_TRUE(settings.save_settings(registry));
    ASSERT_FALSE(registry.damaged_copy().isEmpty());
    QFile copy(registry.damaged_copy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), garbage);
    EXPECT_EQ(settings.line(2), "1");
}

TEST(StartCount, CountsEachStartAndStopsAtTheLargestNumber) {
    SettingsList settings;
    settings.set_line(kStartCountLine, "2147483646");
    count_start(settings);
    EXPECT_EQ(settings.line(kStartCountLine), "2147483647");
    count_start(settings);
    EXPECT_EQ(settings.line(kStartCountLine), "2147483647");
}
