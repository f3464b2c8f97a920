#include "test_support.h"
#include "modal_guard.h"

#include "localisation/address_opener.h"
#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"

#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextBrowser>

#include <functional>

namespace {

constexpr qsizetype kLargestHelpFile = 1024 * 1024;

const Languages& english() {
    static const Languages languages(QStringLiteral(QUORVEL_GAME_DIR "/languages.dll"), QStringList{"en"});
    return languages;
}

// The help windows here follow no web links.
const AddressOpener& address_opener() {
    static const AddressOpener opener(english());
    return opener;
}

// "Help.hlp": the built help file, or its first `size` bytes, or it padded to `size` bytes by a
// comment at its end.
void write_help_file(qsizetype size = -1) {
    QFile built(QStringLiteral(QUORVEL_GAME_DIR "/Help.hlp"));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    QByteArray bytes = built.readAll();
    if (size >= 0 && size <= bytes.size()) bytes.truncate(size);
    if (size > bytes.size()) bytes += "<!--" + QByteArray(size - bytes.size() - 7, 'x') + "-->";
    write_file(QStringLiteral("Help.hlp"), bytes);
}

// A help file of one topic whose text is `body`.
void write_one_topic(const QByteArray& body) {
    write_file(QStringLiteral("Help.hlp"), "<h1><a name=\"IDH_Test\">Test</a></h1>" + body);
}

QString line_at_cursor(const HelpWindow& window) {
    return window.browser()->textCursor().block().text().trimmed();
}

bool shows(const HelpWindow& window, const char* text) {
    return window.browser()->toPlainText().contains(QString::fromUtf8(text));
}

using HelpTest = InTemporaryFolder;

// Every language's two topics, rules and colour depth, open alone under their own heading, end
// with the row of links to every language, and lead on to each other.
TEST_F(HelpTest, EveryLanguageHasItsOwnRulesAndColourDepthTopics) {
    write_help_file();
    HelpWindow window(english(), address_opener());
    QStringList topics;
    QStringList headings;
    for (const LanguageBlock& block : language_blocks()) {
        for (const auto& [topic, next] : {std::pair{block.rules_topic, block.colour_depth_topic},
                                          std::pair{block.colour_depth_topic, block.rules_topic}}) {
            SCOPED_TRACE(topic);
            ASSERT_TRUE(window.open_topic(QString::fromLatin1(topic)));
            EXPECT_EQ(line_at_cursor(window), window.windowTitle());
            for (const LanguageBlock& other : language_blocks()) EXPECT_TRUE(shows(window, other.endonym)) << other.endonym;
            EXPECT_TRUE(window.browser()->toHtml().contains(QStringLiteral("href=\"#%1\"").arg(next)));
            topics << topic;
            headings << window.windowTitle();
        }
    }
    EXPECT_EQ(QSet<QString>(headings.begin(), headings.end()).size(), topics.size());
    for (const QString& topic : topics) {
        ASSERT_TRUE(window.open_topic(topic));
        QStringList lines = window.browser()->toPlainText().split(u'\n');
        for (QString& line : lines) line = line.simplified();
        for (const QString& heading : headings)
            EXPECT_EQ(lines.contains(heading), heading == window.windowTitle()) << qPrintable(topic) << " shows " << qPrintable(heading);
    }
}

struct HostileFile {
    const char* name;
    std::function<void()> make;
    const char* message;  // after "The help file "Help.hlp" "
};

class HostileHelpFile : public InTemporaryFolder, public testing::WithParamInterface<HostileFile> {};

TEST_P(HostileHelpFile, IsReportedAndNoWindowStays) {
    GetParam().make();
    ModalAnswer box;
    QWidget parent;
    EXPECT_EQ(show_help_topic(&parent, QStringLiteral("IDH_Test"), english(), address_opener()), nullptr);
    EXPECT_EQ(box.texts, QStringList{QStringLiteral("[Quorvel Help] The help file \"Help.hlp\" %1")
                                         .arg(QString::fromLatin1(GetParam().message))});
    EXPECT_EQ(parent.findChild<HelpWindow*>(), nullptr);
}

QByteArray garbage(qsizetype size) {
    QRandomGenerator random(7);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random.bounded(256));
    return bytes;
}

// Each malformed shape freezes Qt's rich-text engine for minutes at the size given here or below.
INSTANTIATE_TEST_SUITE_P(Help, HostileHelpFile, testing::Values(
    HostileFile{"Missing", [] {}, "could not be found."},
    HostileFile{"Folder", [] { QDir().mkdir(QStringLiteral("Help.hlp")); }, "could not be found."},
    HostileFile{"Empty", [] { write_help_file(0); }, "could not be read."},
    HostileFile{"OverOneMebibyte", [] { write_help_file(kLargestHelpFile + 1); },
                "is larger than 1 MiB and is not shown."},
    HostileFile{"TablesInTables", [] { write_one_topic(QByteArray("<table><tr><td>x").repeated(2)); },
                "could not be read."},
    HostileFile{"DeepNesting", [] { write_one_topic(QByteArray("<b>x").repeated(65)); },
                "could not be read."},
    HostileFile{"EndlessWord", [] { write_one_topic(QByteArray(4097, 'x')); }, "could not be read."},
    HostileFile{"Garbage", [] { write_file("Help.hlp", garbage(kLargestHelpFile)); },
                "could not be read."}),
    [](const testing::TestParamInfo<HostileFile>& info) { return std::string(info.param.name); });

TEST_F(HelpTest, ParentKeepsOneHelpWindowThatShowsTheWholeFileForAMissingTopic) {
    write_help_file(kLargestHelpFile);  // the largest help file that still opens
    QWidget parent;
    ModalAnswer box;
    HelpWindow* first = show_help_topic(&parent, QStringLiteral("IDH_Chess"), english(), address_opener());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(box.texts, QStringList{"[Quorvel Help] The help topic \"IDH_Chess\" does not exist."});
    EXPECT_TRUE(shows(*first, "Moving a stone") && shows(*first, "Flyt en sten"));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Quorvel Help"));
    EXPECT_EQ(show_help_topic(&parent, QStringLiteral("IDH_Danish"), english(), address_opener()), first);
    EXPECT_EQ(parent.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Sådan spiller du Quorvel"));
}

TEST_F(HelpTest, LinkToAnotherTopicShowsItAlone) {
    write_help_file();
    HelpWindow window(english(), address_opener());
    ASSERT_TRUE(window.open_topic(QStringLiteral("IDH_ShortDescription")));
    emit window.browser()->anchorClicked(QUrl(QStringLiteral("#IDH_German")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Spielregeln von Quorvel"));
    EXPECT_TRUE(shows(window, "Einen Stein ziehen"));
    EXPECT_FALSE(shows(window, "Moving a stone"));
}

TEST_F(HelpTest, ShowsNoPictureItsMarkupNames) {
    QImage(8, 8, QImage::Format_RGB32).save(QStringLiteral("secret.png"));
    write_one_topic("<table background=\"secret.png\"><tr><td><img src=\"secret.png\"></td></tr></table>");
    HelpWindow window(english(), address_opener());
    ASSERT_TRUE(window.open_topic(QStringLiteral("IDH_Test")));
    window.grab();
    EXPECT_FALSE(window.browser()->document()->resource(QTextDocument::ImageResource,
                                                        QUrl(QStringLiteral("secret.png"))).isValid());
}

TEST_F(HelpTest, WindowWithoutParentDeletesItselfWhenClosed) {
    write_help_file();
    QPointer<HelpWindow> window = show_help_topic(nullptr, QStringLiteral("IDH_Danish"), english(), address_opener());
    ASSERT_FALSE(window.isNull());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
