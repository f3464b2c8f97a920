#include "qstring_printer.h"
#include "modal_guard.h"

#include "localisation/encoded_text.h"
#include "localisation/languages.h"
#include "localisation/tag.h"
#include "platform/resource_module.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <map>

namespace {

const QString kLibrary = QStringLiteral("languages.dll");

// Runs each test in a fresh temporary working directory.
class LanguagesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    static void write_library(const std::map<int, QString>& strings) {
        ResourceModuleWriter writer;
        for (const auto& [id, text] : strings) {
            writer.add_string(id, text);
        }
        ASSERT_TRUE(writer.write(kLibrary));
    }

    static void write_file(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static void write_both_blocks() {
        write_library({{1, QStringLiteral("&Game")}, {5, QStringLiteral("&Settings")},
                       {2001, QStringLiteral("&Spiel")}, {2005, QStringLiteral("&Einstellungen")}});
    }

private:
    QTemporaryDir folder_;
    QString previous_;
};

struct Selection {
    const char* language;
    bool german_block;
    bool german_probe_empty;
    int base_id;
    const char* text_5;
};

class BlockSelection : public LanguagesTest, public testing::WithParamInterface<Selection> {};

TEST_P(BlockSelection, PicksTheBlockForTheLanguage) {
    const Selection& s = GetParam();
    std::map<int, QString> strings = {{1, QStringLiteral("&Game")}, {5, QStringLiteral("&Settings")}};
    if (s.german_block) {
        strings[2001] = s.german_probe_empty ? QString() : QStringLiteral("&Spiel");
        strings[2005] = QStringLiteral("&Einstellungen");
    }
    write_library(strings);
    const Languages languages(kLibrary, QString::fromUtf8(s.language));
    EXPECT_TRUE(languages.loaded);
    EXPECT_EQ(languages.base_id, s.base_id);
    EXPECT_EQ(languages.get_string(5), QString::fromUtf8(s.text_5));
    EXPECT_EQ(languages.get_language(), QString::fromUtf8(s.language));
}

INSTANTIATE_TEST_SUITE_P(Languages, BlockSelection, testing::Values(
    Selection{"German", true, false, 2000, "&Einstellungen"},
    Selection{"Swiss German", true, false, 2000, "&Einstellungen"},
    Selection{"Low German", true, false, 2000, "&Einstellungen"},
    Selection{"English", true, false, 0, "&Settings"},
    Selection{"French", true, false, 0, "&Settings"},
    Selection{"german", true, false, 0, "&Settings"},          // the test is case-sensitive
    Selection{"German", false, false, 0, "&Settings"},         // no German probe: English
    Selection{"German", true, true, 0, "&Settings"}),          // an empty probe is no probe
    [](const testing::TestParamInfo<Selection>& info) {
        const Selection& s = info.param;
        std::string name = std::string(s.language) + (s.german_block ? "" : "WithoutGermanBlock") +
                           (s.german_probe_empty ? "WithEmptyGermanProbe" : "");
        std::erase(name, ' ');
        return name;
    });

TEST_F(LanguagesTest, FileNameMatchesWithoutRegardToLetterCase) {
    write_both_blocks();
    const Languages languages(QStringLiteral("LANGUAGES.DLL"), QStringLiteral("German"));
    EXPECT_EQ(languages.get_string(1), QStringLiteral("&Spiel"));
}

TEST_F(LanguagesTest, MissingIdGivesEmptyTextAndLongTextsAreCut) {
    write_library({{1, QStringLiteral("&Game")}, {7, QString(12000, u'x')}});
    const Languages languages(kLibrary, QStringLiteral("English"));
    EXPECT_EQ(languages.get_string(6), QString());
    EXPECT_EQ(languages.get_string(7).size(), 9999);
}

TEST_F(LanguagesTest, SelectBaseFollowsTheLanguageName) {
    write_both_blocks();
    Languages languages(kLibrary, QStringLiteral("English"));
    languages.language = QStringLiteral("Swiss German");
    languages.select_base();
    EXPECT_EQ(languages.base_id, 2000);
    languages.language = QStringLiteral("Danish");
    languages.select_base();
    EXPECT_EQ(languages.base_id, 0);
}

TEST_F(LanguagesTest, SetCaptionGivesEachKindOfControlTheTextOfItsTag) {
    write_both_blocks();
    const Languages languages(kLibrary, QStringLiteral("German"));
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("design"), &window);
    auto* label = new QLabel(QStringLiteral("design"), &window);
    auto* check_box = new QCheckBox(QStringLiteral("design"), &window);
    auto* group_box = new QGroupBox(QStringLiteral("design"), &window);
    auto* menu = new QMenu(QStringLiteral("design"), &window);
    auto* action = new QAction(QStringLiteral("design"), &window);
    for (QObject* control : std::initializer_list<QObject*>{
             &window, button, label, check_box, group_box, menu, action}) {
        set_tag(control, 5);
    }
    EXPECT_TRUE(languages.set_caption(&window) && languages.set_caption(button) &&
                languages.set_caption(label) && languages.set_caption(check_box) &&
                languages.set_caption(group_box) && languages.set_caption(menu) &&
                languages.set_caption(action));
    const QString expected = QStringLiteral("&Einstellungen");
    EXPECT_EQ(window.windowTitle(), expected);
    EXPECT_EQ(button->text(), expected);
    EXPECT_EQ(label->text(), expected);
    EXPECT_EQ(check_box->text(), expected);
    EXPECT_EQ(group_box->title(), expected);
    EXPECT_EQ(menu->title(), expected);
    EXPECT_EQ(menu->menuAction()->text(), expected);
    EXPECT_EQ(action->text(), expected);
}

TEST_F(LanguagesTest, SetCaptionEmptiesTheCaptionForAMissingId) {
    write_both_blocks();
    const Languages languages(kLibrary, QStringLiteral("English"));
    QPushButton button(QStringLiteral("design"));
    set_tag(&button, 42);
    EXPECT_TRUE(languages.set_caption(&button));
    EXPECT_EQ(button.text(), QString());
}

TEST_F(LanguagesTest, SetCaptionLeavesTheCaptionWhenNotLoaded) {
    write_both_blocks();
    Languages languages(kLibrary, QStringLiteral("English"));
    languages.loaded = false;
    QLabel label(QStringLiteral("design"));
    set_tag(&label, 5);
    EXPECT_FALSE(languages.set_caption(&label));
    EXPECT_EQ(label.text(), QStringLiteral("design"));
}

using LanguagesDeathTest = LanguagesTest;

TEST_F(LanguagesDeathTest, EndsTheProcessWhenNeitherProbeExists) {
    write_library({{5, QStringLiteral("&Settings")}, {2005, QStringLiteral("&Einstellungen")}});
    EXPECT_EXIT(
        {
            ModalAnswer box;
            Languages languages(kLibrary, QStringLiteral("German"));
        },
        testing::ExitedWithCode(EXIT_FAILURE),
        "modal window \\[Fatal Error\\] The language library could not be loaded\\. "
        "Please re-install Quorvel");
}

TEST_F(LanguagesDeathTest, EndsTheProcessWhenTheLibraryIsMissing) {
    EXPECT_EXIT(
        {
            ModalAnswer box;
            Languages languages(kLibrary, QStringLiteral("English"));
        },
        testing::ExitedWithCode(EXIT_FAILURE), "\\[Fatal Error\\]");
}

TEST_F(LanguagesTest, LoadTextFillsAPlainMemoFromTheFileOfItsTag) {
    write_both_blocks();
    write_file(QStringLiteral("images/2.jpg"), "72 105 \n\n-28 \n");
    write_file(QStringLiteral("images/2002.jpg"), "-33 \r\n");
    const Languages english(kLibrary, QStringLiteral("English"));
    const Languages german(kLibrary, QStringLiteral("German"));
    QPlainTextEdit memo(QStringLiteral("old text"));
    set_tag(&memo, 2);
    english.load_text(&memo);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Hi\n\nä"));
    german.load_text(&memo);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("ß"));
}

TEST_F(LanguagesTest, LoadTextFillsARichMemoAsPlainText) {
    write_both_blocks();
    write_file(QStringLiteral("images/3.jpg"), encode_line(QStringLiteral("<b>Grüße</b>")).toLatin1());
    const Languages languages(kLibrary, QStringLiteral("English"));
    QTextEdit memo;
    set_tag(&memo, 3);
    languages.load_text(&memo);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("<b>Grüße</b>"));
}

TEST_F(LanguagesTest, MalformedLineFailsClearlyAndKeepsTheLinesBeforeIt) {
    write_both_blocks();
    write_file(QStringLiteral("images/2.jpg"), "72 105 \n97 98\n99 \n");
    const Languages languages(kLibrary, QStringLiteral("English"));
    QPlainTextEdit memo(QStringLiteral("old text"));
    set_tag(&memo, 2);
    EXPECT_THROW(languages.load_text(&memo), std::runtime_error);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Hi"));
}

TEST_F(LanguagesTest, OversizedTextFileFailsClearly) {
    write_both_blocks();
    write_file(QStringLiteral("images/2.jpg"), QByteArray(2 * 1024 * 1024, '7'));
    const Languages languages(kLibrary, QStringLiteral("English"));
    QPlainTextEdit memo(QStringLiteral("old text"));
    set_tag(&memo, 2);
    EXPECT_THROW(languages.load_text(&memo), std::runtime_error);
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("old text"));
}

TEST_F(LanguagesDeathTest, MissingTextFileEndsTheProcess) {
    write_both_blocks();
    EXPECT_EXIT(
        {
            ModalAnswer box;
            const Languages languages(kLibrary, QStringLiteral("English"));
            QPlainTextEdit memo;
            set_tag(&memo, 3);
            languages.load_text(&memo);
        },
        testing::ExitedWithCode(EXIT_FAILURE),
        "modal window \\[Fatal error\\] Some files are missing! Please re-install this "
        "application\\.");
}

}  // namespace
