#include "app/settings_store.h"
#include "platform/registry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each test gets an empty config folder of its own.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
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

TEST_F(SettingsStore, DamagedNumbersBecomeOneAndSignedNumbersStay) {
    {
        QSettings raw("Corvatek", "linvara");
        raw.setValue("set/3", "q");
        raw.setValue("set/13", QString::fromLatin1(rotate_text("5x")));
        raw.setValue("set/4", QString::fromLatin1(rotate_text("-3")));
        raw.setValue("set/12", QString::fromLatin1(rotate_text("my style.lvr")));
    }
    Registry registry;
    SettingsList settings;
    settings.load_settings(registry);
    EXPECT_EQ(settings.line(12), "1");
    EXPECT_EQ(settings.line(3), "-3");
    EXPECT_EQ(settings.line(11), "my style.lvr");
    EXPECT_EQ(settings.line(5), "1");  // missing value
}

TEST_F(SettingsStore, AStoreWhoseSoundValueIsNeitherPNorQLoadsFlipped) {
    {
        QSettings raw("Corvatek", "linvara");
        raw.setValue("set/3", QString::fromLatin1(flip_text("0")));
        raw.setValue("set/13", QString::fromLatin1(flip_text("3")));
        raw.setValue("set/12", QString::fromLatin1(flip_text("a.lvr")));
        raw.setValue("set/5", QString::fromLatin1(rotate_text("77")));  // not flipped: fails to convert
    }
    Registry registry;
    SettingsList settings;
    settings.load_settings(registry);
    EXPECT_EQ(settings.line(2), "0");
    EXPECT_EQ(settings.line(12), "3");
    EXPECT_EQ(settings.line(11), "a.lvr");
    EXPECT_EQ(settings.line(4), "1");
    ASSERT_TRUE(settings.save_settings(registry));
    QSettings raw("Corvatek", "linvara");
    EXPECT_EQ(raw.value("set/3").toString(), "p");  // rotated from now on
}

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
