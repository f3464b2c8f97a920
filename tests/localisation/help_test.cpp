#include "qstring_printer.h"
#include "modal_guard.h"

#include "localisation/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

// Runs each test in a fresh temporary working directory, with or without the built help file.
class HelpTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    static void copy_built_help_file() {
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_GAME_DIR "/Help.hlp"),
                                QStringLiteral("Help.hlp")));
    }

    static QString line_at_cursor(const HelpWindow& window) {
        return window.browser()->textCursor().block().text().trimmed();
    }

private:
    QTemporaryDir folder_;
    QString previous_;
};

struct Topic {
    const char* id;
    const char* heading;
};

class HelpTopic : public HelpTest, public testing::WithParamInterface<Topic> {};

TEST_P(HelpTopic, OpensAtItsHeading) {
    copy_built_help_file();
    HelpWindow window;
    EXPECT_TRUE(window.open_topic(QString::fromLatin1(GetParam().id)));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(line_at_cursor(window), QString::fromUtf8(GetParam().heading));
}

INSTANTIATE_TEST_SUITE_P(Help, HelpTopic, testing::Values(
    Topic{"IDH_ShortDescription", "How to play Quorvel"},
    Topic{"IDH_German", "Spielregeln von Quorvel"},
    Topic{"IDH_Spanish", "Reglas de Quorvel"},
    Topic{"IDH_Danish", "Spilleregler for Quorvel"},
    Topic{"IDH_256", "Quorvel and 256 colours"}),
    [](const testing::TestParamInfo<Topic>& info) { return std::string(info.param.id); });

TEST_F(HelpTest, MissingTopicIsReportedAndTheFileShownFromItsStart) {
    copy_built_help_file();
    ModalAnswer box;
    HelpWindow window;
    EXPECT_FALSE(window.open_topic(QStringLiteral("IDH_Chess")));
    EXPECT_EQ(box.texts, QStringList{"[Quorvel Help] The help topic \"IDH_Chess\" does not exist."});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.browser()->textCursor().position(), 0);
}

TEST_F(HelpTest, MissingFileIsReportedAndNoWindowStays) {
    ModalAnswer box;
    QWidget parent;
    EXPECT_EQ(show_help_topic(&parent, QStringLiteral("IDH_256")), nullptr);
    EXPECT_EQ(box.texts, QStringList{"[Quorvel Help] The help file \"Help.hlp\" could not be found."});
    EXPECT_EQ(parent.findChild<HelpWindow*>(), nullptr);
}

TEST_F(HelpTest, EmptyFileIsReportedAsUnreadable) {
    QFile empty(QStringLiteral("Help.hlp"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ModalAnswer box;
    EXPECT_EQ(show_help_topic(nullptr, QStringLiteral("IDH_256")), nullptr);
    EXPECT_EQ(box.texts, QStringList{"[Quorvel Help] The help file \"Help.hlp\" could not be read."});
}

TEST_F(HelpTest, ParentKeepsOneHelpWindowThatMovesToEachTopic) {
    copy_built_help_file();
    QWidget parent;
    HelpWindow* first = show_help_topic(&parent, QStringLiteral("IDH_German"));
    HelpWindow* second = show_help_topic(&parent, QStringLiteral("IDH_256"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(parent.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(line_at_cursor(*second), QStringLiteral("Quorvel and 256 colours"));
}

TEST_F(HelpTest, WindowWithoutParentDeletesItselfWhenClosed) {
    copy_built_help_file();
    QPointer<HelpWindow> window = show_help_topic(nullptr, QStringLiteral("IDH_Danish"));
    ASSERT_FALSE(window.isNull());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
