#include "game_fixture.h"
#include "python_server.h"

#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "highscores/highscore_dialog.h"
#include "highscores/name_entry_dialog.h"
#include "localisation/languages.h"

#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString local_line(int rank, int points, const QString& name) {
    return QString("%1.    %2").arg(rank).arg(QString::number(points).leftJustified(10)) + name;
}

QString display_row(int points, const QString& name, const QString& place) {
    return (QString::number(points).leftJustified(10) + name).leftJustified(35) + place;
}

// The game against the highscore site of this repository, started on ephemeral ports with an
// empty store and the built-in collector addresses on both sides.
class SiteEndToEnd : public GameFolder {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        ASSERT_NE(site.port(1), 0);
        qputenv("QUORVEL_SITE", site.address().toUtf8());
        qputenv("QUORVEL_MAIL_HOST", "127.0.0.1");
        qputenv("QUORVEL_MAIL_PORT", QByteArray::number(site.port(1)));
        start_with_table();
    }
    void TearDown() override {
        window.reset();
        for (const char* variable : {"QUORVEL_SITE", "QUORVEL_MAIL_HOST", "QUORVEL_MAIL_PORT"}) qunsetenv(variable);
        GameFolder::TearDown();
    }

    void start_with_table() {
        window.reset();
        window = start();
        window->show();
        dialog = window->Highscores;
        const QStringList table{local_line(1, 805, "Kai")};
        dialog->set_lines(table + default_highscore_lines().mid(table.size()));
    }
    void open() {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    // Reaches the hidden button as a player does (Tab from OK, then Space) and waits for the page.
    void open_and_fetch() {
        open();
        dialog->okbtn->setFocus();
        QTest::keyClick(dialog->okbtn, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), dialog->post_button);
        QTest::keyClick(dialog->post_button, Qt::Key_Space);
        run_until([&] { return dialog->Display->toPlainText().count('\n') >= 8; });
    }
    void post() {
        const int before = answers.answered();
        dialog->post_button->click();
        run_until([&] { return answers.answered() > before + 1; });
    }
    QStringList shown() const { return dialog->Display->toPlainText().split('\n'); }
    QByteArray file_bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    QTemporaryDir data;
    PythonServer site{QUORVEL_SITE_PROGRAM, {"--http", "127.0.0.1:0", "--smtp", "127.0.0.1:0", "--data", data.path(),
                                             "--print-ports", "--until-stdin-closes"}};
    std::unique_ptr<TForm1> window;
    THighscores* dialog = nullptr;
    ModalAnswer answers{[this](QWidget* asked) {
        if (window && asked == window->name_enter) {
            window->name_enter->Edit2->setText("kai@example.test");
            window->name_enter->Edit3->setText("Zürich");
            window->name_enter->okbtn->click();
        } else {
            // The mail client says goodbye while the player reads the box.
            QEventLoop reading;
            QTimer::singleShot(300, &reading, &QEventLoop::quit);
            reading.exec();
            ModalAnswer::close_window(asked);
        }
    }};
};

}  // namespace

// Fetch the empty board, post the new best, fetch again: it stands there and is not offered twice.
TEST_F(SiteEndToEnd, ANewBestTravelsFromTheLocalTableToTheSitesPage) {
    open_and_fetch();
    const Languages& texts = *window->languages;
    EXPECT_EQ(shown().value(0), display_row(800, "Marit Stonewell", ""));
    EXPECT_EQ(shown().value(8), display_row(10, "Rosa Glen", ""));
    EXPECT_EQ(dialog->post_button->text(), texts.get_string(85));
    ASSERT_TRUE(dialog->post_button->isEnabled());

    post();
    EXPECT_EQ(answers.texts.last(), "[" + texts.get_string(90) + "] " + texts.get_string(89));
    EXPECT_EQ(file_bytes("posted.txt"), "805 Kai\r\n");

    dialog->hide();
    open();
    EXPECT_FALSE(dialog->post_button->isEnabled());

    // A new start has no page in memory: the site's table is fetched anew.
    dialog->hide();
    start_with_table();
    open_and_fetch();
    EXPECT_EQ(shown().value(0), display_row(805, "Kai", "Zürich"));
    EXPECT_EQ(shown().value(1), display_row(800, "Marit Stonewell", ""));
    EXPECT_EQ(shown().value(8), display_row(50, "Pim Vale", ""));
    EXPECT_FALSE(dialog->post_button->isEnabled());
    EXPECT_EQ(file_bytes("posted.txt"), "805 Kai\r\n");
}
