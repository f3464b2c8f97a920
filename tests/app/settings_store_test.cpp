#include "game_fixture.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QDir>
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
    QSettings raw(conf_file(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("set/version").toByteArray(), QByteArray("\x00\x00\x00\x40\x33\x33\xF3\x3F", 8));
    QStringList stored;
    for (const char* key : {"3", "4", "13", "17", "19", "21"}) stored << raw.value(QString("set/") + key).toString();
    EXPECT_EQ(stored, QStringList({"q", "qqq", "r", "p", "p", "q"}));
    EXPECT_EQ(raw.allKeys().size(), 18);  // neither "1" nor "2" nor "8"
    // Sound on, window left 111, no style chosen, speed Fast; an empty numeric line becomes 1, a text line stays.
    for (const auto& [line, text] : std::map<int, QString>{{2, "1"}, {3, "111"}, {11, "1"}, {12, "2"}, {16, "0"}, {7, "1"}, {14, "1"}})
        EXPECT_EQ(settings.line(line), text) << "line " << line;
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
    EXPECT_EQ(Registry().read_string("set", "3"), rotate_text(settings.line(2).toLatin1()));
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
    // The UTF-8 of "ä" keeps its high bits.
    EXPECT_EQ(rotate_text("012A\xC3\xA4"), QByteArray("pqr\x01\x83\xE4"));
    EXPECT_EQ(flip_text("1"), QByteArray("\xB1"));
    QByteArray every_byte;
    for (int b = 0; b < 256; ++b) every_byte.append(static_cast<char>(b));
    EXPECT_EQ(rotate_text(rotate_text(every_byte)), every_byte);
    EXPECT_EQ(flip_text(flip_text(every_byte)), every_byte);
}

TEST(StartCount, CountsEachStartAndStopsAtTheLargestNumber) {
    SettingsList settings;
    settings.set_line(kStartCountLine, "2147483646");
    count_start(settings);
    count_start(settings);
    EXPECT_EQ(settings.line(kStartCountLine), "2147483647");
}

TEST_F(GameFolder, ADamagedStoreIsNamedOnceWithTheCopyKeptOfIt) {
    QDir().mkpath(config.filePath("Corvatek"));
    QFile damaged(config.filePath("Corvatek/linvara.conf"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("[set]\n3=\"p\"\nno value here\n");
    damaged.close();
    ModalAnswer boxes;
    std::unique_ptr<TForm1> window = start();
    ASSERT_EQ(boxes.answered(), 1);
    EXPECT_TRUE(boxes.texts[0].contains("kept as " + config.filePath("Corvatek/linvara.conf.damaged-")));
    EXPECT_EQ(window->Settings.line(2), "0");  // what could be read is used
    window.reset();
    start().reset();
    EXPECT_EQ(boxes.texts.filter("could not be read whole").size(), 1);  // the store is sound again
}
