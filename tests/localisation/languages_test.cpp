#include "test_support.h"
#include "hang_guard.h"
#include "modal_guard.h"

#include "localisation/language_blocks.h"
#include "localisation/languages.h"
#include "localisation/tag.h"
#include "platform/resource_module.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include <map>

#include <sys/stat.h>

namespace {

const QString kLibrary = QStringLiteral("languages.dll");
const std::map<int, QString> kGermanBlock = {{2001, "&Spiel"}, {2005, "&Einstellungen"}};

void write_library(std::map<int, QString> strings = kGermanBlock) {
    strings.insert({{1, "&Game"}, {5, "&Settings"}});  // English 1 and 5 unless given
    ResourceModuleWriter writer;
    for (const auto& [id, text] : strings) writer.add_string(id, text);
    ASSERT_TRUE(writer.write(kLibrary));
}

using LanguagesTest = InTemporaryFolder;

struct Selection {
    QStringList ui_languages;
    std::map<int, QString> blocks;  // probe strings, besides English
    int base_id;
    const char* language;  // get_language(): the English name of the chosen or, failing that, the first language
};

// The interface languages in their order; a language counts only when the library holds its block.
TEST_F(LanguagesTest, ChoosesTheFirstInterfaceLanguageWhoseBlockTheLibraryHolds) {
    const std::map<int, QString> all = {{2001, "&Spiel"}, {4001, "&Juego"}, {6001, "&Spil"}, {8001, "&Jeu"},
                                        {10001, "&Partita"}, {12001, "&Spel"}, {14001, "&Gra"}, {16001, "&Jogo"},
                                        {18001, "&Spel"}};
    const Selection cases[] = {
        {{"de-DE"}, all, 2000, "German"},
        {{"de-AT"}, kGermanBlock, 2000, "German"},                   // the two designed blocks as before
        {{"gsw-CH"}, kGermanBlock, 2000, "Swiss German"},            // every German by its name
        {{"fr-FR"}, kGermanBlock, 0, "French"},                      // a language without its block: English
        {{"fr-FR", "de-DE"}, kGermanBlock, 2000, "German"},          // ... or the next one that has it
        {{"de-DE"}, {}, 0, "German"},
        {{"de-DE"}, {{2001, ""}}, 0, "German"},                      // an empty probe is no block
        {{"es-MX"}, all, 4000, "Spanish"},  {{"da-DK"}, all, 6000, "Danish"},  {{"fr-CA"}, all, 8000, "French"},
        {{"it-CH"}, all, 10000, "Italian"}, {{"nl-BE"}, all, 12000, "Dutch"},  {{"pl-PL"}, all, 14000, "Polish"},
        {{"pt-PT"}, all, 16000, "Portuguese"},                       // Portugal falls back to the Brazilian block
        {{"pt_BR"}, all, 16000, "Portuguese"},  {{"sv-FI"}, all, 18000, "Swedish"},
        {{"ja-JP", "en-US", "fr"}, all, 0, "English"},               // English before French, as preferred
        {{"ja-JP"}, all, 0, "Japanese"},   {{"C"}, all, 0, "C"},     {{}, all, 0, "English"},
    };
    for (const Selection& selection : cases) {
        const QString trace = selection.ui_languages.join(' ') + " of " + QString::number(selection.blocks.size());
        SCOPED_TRACE(trace.toStdString());
        write_library(selection.blocks);
        // The game would open the file under its name in any letter case.
        const Languages languages(kLibrary.toUpper(), selection.ui_languages);
        EXPECT_EQ(languages.base_id, selection.base_id);
        EXPECT_EQ(languages.block().base_id, selection.base_id);
        EXPECT_EQ(languages.get_language(), QString::fromLatin1(selection.language));
        EXPECT_EQ(languages.get_string(1), selection.base_id ? selection.blocks.at(selection.base_id + 1) : "&Game");
    }
}

TEST_F(LanguagesTest, LongTextsAreCut) {
    write_library({{7, QString(12000, u'x')}});
    const Languages languages(kLibrary, QStringList{"en"});
    EXPECT_EQ(languages.get_string(7), QString(9999, u'x'));
}

TEST_F(LanguagesTest, SetCaptionGivesEachKindOfControlTheTextOfItsTagWhileLoaded) {
    write_library();
    Languages languages(kLibrary, QStringList{"de"});
    QWidget window;
    auto* button = new QPushButton(&window);
    auto* label = new QLabel(&window);
    auto* check_box = new QCheckBox(&window);
    auto* group_box = new QGroupBox(&window);
    auto* menu = new QMenu(&window);
    auto* action = new QAction(&window);
    for (QObject* control : std::initializer_list<QObject*>{&window, button, label, check_box,
                                                            group_box, menu, action})
        set_tag(control, 5);
    EXPECT_TRUE(languages.set_caption(&window) && languages.set_caption(button) &&
                languages.set_caption(label) && languages.set_caption(check_box) &&
                languages.set_caption(group_box) && languages.set_caption(menu) &&
                languages.set_caption(action));
    EXPECT_EQ((QStringList{window.windowTitle(), button->text(), label->text(), check_box->text(),
                           group_box->title(), menu->title(), action->text()}),
              QStringList(7, QStringLiteral("&Einstellungen")));

    set_tag(button, 42);  // no such text: the caption empties
    EXPECT_TRUE(languages.set_caption(button));
    EXPECT_EQ(button->text(), QString());

    languages.loaded = false;
    set_tag(label, 1);
    EXPECT_FALSE(languages.set_caption(label));
    EXPECT_EQ(label->text(), QStringLiteral("&Einstellungen"));
}

// A malformed line or an oversized file fails clearly and keeps the lines decoded before it.
TEST_F(LanguagesTest, LoadTextFillsEitherMemoWithTheDecodedLinesOfTheFileOfItsTag) {
    write_library();
    write_file(QStringLiteral("images/2.jpg"), "60 98 62 72 105 \r\n\r\n-28 \n");
    write_file(QStringLiteral("images/5.jpg"), "72 105 \n97 98\n99 \n");
    const QByteArray largest = QByteArray("97 ").repeated(349525) + '\n';  // 1 MiB
    write_file(QStringLiteral("images/3.jpg"), largest);
    write_file(QStringLiteral("images/4.jpg"), largest + '\n');
    const Languages languages(kLibrary, QStringList{"en"});
    QPlainTextEdit plain(QStringLiteral("old text"));
    QTextEdit rich;
    set_tag(&plain, 2);
    set_tag(&rich, 2);
    languages.load_text(&plain);
    languages.load_text(&rich);
    EXPECT_EQ(plain.toPlainText(), QStringLiteral("<b>Hi\n\nä"));
    EXPECT_EQ(rich.toPlainText(), QStringLiteral("<b>Hi\n\nä"));
    set_tag(&plain, 5);
    EXPECT_THROW(languages.load_text(&plain), std::runtime_error);
    EXPECT_EQ(plain.toPlainText(), QStringLiteral("Hi"));
    set_tag(&plain, 3);  // the largest file loads; one byte more fails and leaves the memo
    languages.load_text(&plain);
    set_tag(&plain, 4);
    EXPECT_THROW(languages.load_text(&plain), std::runtime_error);
    EXPECT_EQ(plain.toPlainText(), QString(349525, u'a'));
}

// The built library and encoded texts together, as the game finds them in its folder: every
// block is there, and its memo texts come back as written, Polish letters through its code page.
TEST_F(LanguagesTest, BuiltMemoTextsShowTheirSourcesInEachLanguage) {
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(QUORVEL_GAME_DIR)));
    for (const LanguageBlock& block : language_blocks()) {
        const Languages languages(kLibrary, QStringList{block.code});
        ASSERT_EQ(languages.base_id, block.base_id) << block.name;
        for (const auto& [tag, source] : {std::pair{2, "internet_intro"}, std::pair{3, "page_failed"}}) {
            QFile file(QStringLiteral(QUORVEL_TEXTS_DIR "/%1.%2.txt").arg(source, block.code));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            QPlainTextEdit memo;
            set_tag(&memo, tag);
            languages.load_text(&memo);
            // A memo gives its no-break spaces back as plain ones.
            EXPECT_EQ(memo.toPlainText() + u'\n', QString::fromUtf8(file.readAll()).replace(QChar(0xA0), u' '));
        }
    }
}

using LanguagesDeathTest = InTemporaryFolder;

TEST_F(LanguagesDeathTest, EndsTheProcessAfterAFatalBox) {
    const auto open = [](const char* language) {
        const HangGuard guard;
        ModalAnswer box;
        const Languages languages(kLibrary, QStringList{language});
        QPlainTextEdit memo;
        set_tag(&memo, 3);
        languages.load_text(&memo);
    };
    const char* no_library = "modal window \\[Fatal Error\\] The language library could not be "
                             "loaded\\. Please re-install Quorvel";
    EXPECT_EXIT(open("en"), testing::ExitedWithCode(EXIT_FAILURE), no_library);
    write_library({{1, ""}, {2001, ""}});  // neither probe
    EXPECT_EXIT(open("de"), testing::ExitedWithCode(EXIT_FAILURE), no_library);
    const char* missing_file = "modal window \\[Fatal error\\] Some files are missing! Please re-install this "
                               "application\\.";
    write_library();  // no images/3.jpg
    EXPECT_EXIT(open("en"), testing::ExitedWithCode(EXIT_FAILURE), missing_file);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("images")));
    ASSERT_EQ(mkfifo("images/3.jpg", 0600), 0);  // opening it to read would wait for a writer
    EXPECT_EXIT(open("en"), testing::ExitedWithCode(EXIT_FAILURE), missing_file);
}

}  // namespace
