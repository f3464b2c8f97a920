#include "test_support.h"
#include "modal_guard.h"

#include "localisation/help_window.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

#include <functional>

namespace {

constexpr qsizetype kLargestHelpFile = 4 * 1024 * 1024;

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

QString line_at_cursor(const HelpWindow& window) {
    return window.browser()->textCursor().block().text().trimmed();
}

using HelpTest = InTemporaryFolder;

struct Topic {
    const char* id;
    const char* heading;
};

class HelpTopic : public InTemporaryFolder, public testing::WithParamInterface<Topic> {};

TEST_P(HelpTopic, OpensAtItsHeading) {
    write_help_file();
    HelpWindow window;
    EXPECT_TRUE(window.open_topic(QString::fromLatin1(GetParam().id)));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(line_at_cursor(window), QString::fromUtf8(GetParam().heading));
}

INSTANTIATE_TEST_SUITE_P(Help, HelpTopic, testing::Values(
    Topic{"IDH_ShortDescription", "How to play Quorvel"},
    Topic{"IDH_German", "Spielregeln von Quorvel"},
    Topic{"IDH_Spanish", "Reglas de Quorvel"},
    Topic{"IDH_Danish", "Spilleregler for Quorvel"}),
    [](const testing::TestParamInfo<Topic>& info) { return std::string(info.param.id); });

struct HostileFile {
    const char* name;
    std::function<void()> make;
    const char* fault;  // "found" or "read"
};

class HostileHelpFile : public InTemporaryFolder, public testing::WithParamInterface<HostileFile> {};

TEST_P(HostileHelpFile, IsReportedAndNoWindowStays) {
    GetParam().make();
    ModalAnswer box;
    QWidget parent;
    EXPECT_EQ(show_help_topic(&parent, QStringLiteral("IDH_256")), nullptr);
    EXPECT_EQ(box.texts, QStringList{QStringLiteral("[Quorvel Help] The help file \"Help.hlp\" "
                                                    "could not be %1.").arg(GetParam().fault)});
    EXPECT_EQ(parent.findChild<HelpWindow*>(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Help, HostileHelpFile, testing::Values(
    HostileFile{"Missing", [] {}, "found"},
    HostileFile{"Folder", [] { QDir().mkdir(QStringLiteral("Help.hlp")); }, "found"},
    HostileFile{"Empty", [] { write_help_file(0); }, "read"},
    HostileFile{"OverFourMebibytes", [] { write_help_file(kLargestHelpFile + 1); }, "read"}),
    [](const testing::TestParamInfo<HostileFile>& info) { return std::string(info.param.name); });

TEST_F(HelpTest, ParentKeepsOneHelpWindowThatReportsAMissingTopicAndMovesToEachTopic) {
    write_help_file(kLargestHelpFile);  // the largest help file that still opens
    QWidget parent;
    ModalAnswer box;
    HelpWindow* first = show_help_topic(&parent, QStringLiteral("IDH_Chess"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(box.texts, QStringList{"[Quorvel Help] The help topic \"IDH_Chess\" does not exist."});
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->browser()->textCursor().position(), 0);  // the file from its start
    EXPECT_EQ(show_help_topic(&parent, QStringLiteral("IDH_256")), first);
    EXPECT_EQ(parent.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(line_at_cursor(*first), QStringLiteral("Quorvel and 256 colours"));
}

TEST_F(HelpTest, LoadsNothingBeyondItselfAndFollowsItsOwnAnchors) {
    write_help_file();
    QImage(8, 8, QImage::Format_RGB32).save(QStringLiteral("secret.png"));
    HelpWindow window;
    ASSERT_TRUE(window.open_topic(QStringLiteral("IDH_ShortDescription")));
    EXPECT_TRUE(window.browser()->loadResource(QTextDocument::ImageResource, QUrl("secret.png")).isNull());
    EXPECT_TRUE(window.browser()->loadResource(QTextDocument::HtmlResource, QUrl("file:///etc/passwd")).isNull());
    emit window.browser()->anchorClicked(QUrl(QStringLiteral("#IDH_256")));
    EXPECT_GT(window.browser()->verticalScrollBar()->value(), 0);
}

TEST_F(HelpTest, WindowWithoutParentDeletesItselfWhenClosed) {
    write_help_file();
    QPointer<HelpWindow> window = show_help_topic(nullptr, QStringLiteral("IDH_Danish"));
    ASSERT_FALSE(window.isNull());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
