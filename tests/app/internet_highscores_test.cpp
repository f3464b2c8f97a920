#include "game_fixture.h"
#include "hang_guard.h"
#include "python_server.h"

#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "highscores/name_entry_dialog.h"
#include "localisation/languages.h"
#include "net/http_client.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

const QString kAddress = "kai@example.test";
const QStringList kCollectors{"board@scores.test", "copy@scores.test"};

QString local_line(int rank, int points, const QString& name) {
    return QString("%1.    %2").arg(rank).arg(QString::number(points).leftJustified(10)) + name;
}

// The web table: nine rows at the fixed distance after the marker, in the cells the game reads.
QByteArray page(const QString& zoe_points = "700") {
    const QList<std::pair<QString, QString>> rows{{"900", "Ann"}, {zoe_points, "Zoë"}, {"600", "Cy &amp; Co"},
                                                  {"500", "Di"},  {"400", "Ed"},         {"300", "Flo"},
                                                  {"200", "Gus"}, {"100", "Hal"},        {"50", "Ivy"}};
    QString text = "<html><body><table>\n<!-- First Row -->\n\n";
    for (const auto& [points, name] : rows)
        text += QString(R"(<TR><TD class="poi" >%1</TD><TD class="nam" >%2</TD><TD class="cou" >Bergen</TD></TR>)")
                    .arg(points, name) + "\n\n\n";
    return (text + "</table></body></html>\n").toUtf8();
}

QStringList memo_lines(const QPlainTextEdit* memo) { return memo->toPlainText().split('\n'); }

QString display_row(int points, const QString& name, const QString& place) {
    return (QString::number(points).leftJustified(10) + name).leftJustified(35) + place;
}

// The highscore dialog of a started game against a highscore site on this machine: the pages
// served from `site` in UTF-8, the mail taken by a collector that files it in `mail`.
class InternetHighscores : public GameFolder {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        qputenv("QUORVEL_MAIL_HOST", "127.0.0.1");
        qputenv("QUORVEL_COLLECTORS", kCollectors.join(',').toUtf8());
        start_with_table();
        QFile posted(path("posted.txt"));
        ASSERT_TRUE(posted.open(QIODevice::WriteOnly));
        posted.write("1 Earlier\r\n450 mo\r\n");
    }
    void start_with_table() {
        window.reset();
        window = start();
        window->show();
        dialog = window->Highscores;
        const QStringList table{local_line(1, 805, "Kai"), local_line(2, 800, "Jonas Quill"),
                                local_line(3, 650, "Zoë"),  local_line(4, 620, "Lu"),
                                local_line(5, 450, "Mo"),   local_line(6, 300, "Kai"),
                                local_line(7, 100, "Nell Harrow"), local_line(8, 50, "Pim Vale"),
                                local_line(9, 10, "Rosa Glen")};
        dialog->set_lines(table + default_highscore_lines().mid(table.size()));
    }
    void TearDown() override {
        window.reset();
        for (const char* variable : {"QUORVEL_SITE", "QUORVEL_MAIL_HOST", "QUORVEL_MAIL_PORT", "QUORVEL_COLLECTORS"})
            qunsetenv(variable);
        GameFolder::TearDown();
    }

    void serve(const QByteArray& bytes, const QString& charset = "utf-8") {
        QFile file(site.filePath("regular_hsc.html"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        qputenv("QUORVEL_SITE", (pages.address() + "/site/" + charset).toUtf8());
    }
    void collect(const QStringList& options = {}) {
        collector = std::make_unique<PythonServer>(QUORVEL_NET_TEST_DIR "/mail_collector.py", QStringList{mail.path()} + options);
        qputenv("QUORVEL_MAIL_PORT", QByteArray::number(collector->port()));
    }
    // Opens the dialog and reaches the internet button as a keyboard player does: Tab from OK, then Space.
    void open_and_fetch() {
        open();
        fetch_by_keys();
    }
    void fetch_by_keys() {
        dialog->okbtn->setFocus();
        QTest::keyClick(dialog->okbtn, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), dialog->post_button);
        QTest::keyClick(dialog->post_button, Qt::Key_Space);
    }
    void open() {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    // Posts and waits until the mail client has said its last word.
    void post() {
        const int before = answers.answered();
        dialog->post_button->click();
        run_until([&] { return answers.answered() > before + 1 || dialog->Display->toPlainText().size() < 100; });
    }
    QStringList received() const {
        QStringList mails;
        for (const QString& name : QDir(mail.path()).entryList({"*.json"}, QDir::Files, QDir::Name)) {
            QFile file(mail.filePath(name));
            file.open(QIODevice::ReadOnly);
            mails << QString::fromLatin1(QByteArray::fromHex(QJsonDocument::fromJson(file.readAll())["data"].toString().toLatin1()));
        }
        return mails;
    }
    QByteArray file_bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    QTemporaryDir site;
    QTemporaryDir mail;
    PythonServer pages{QUORVEL_NET_TEST_DIR "/page_server.py", {"--folder", site.path()}};
    std::unique_ptr<PythonServer> collector;
    QString address = kAddress;  // what the player types for the posting
    std::unique_ptr<TForm1> window;
    THighscores* dialog = nullptr;
    // The mail details asked for, and OK to every other window.
    ModalAnswer answers{[this](QWidget* asked) {
        if (window && asked == window->name_enter) {
            window->name_enter->Edit2->setText(address);
            window->name_enter->Edit3->setText("Zürich");
            window->name_enter->okbtn->click();
        } else {
            // A player reads the box while the mail client says goodbye.
            QEventLoop reading;
            QTimer::singleShot(300, &reading, &QEventLoop::quit);
            reading.exec();
            ModalAnswer::close_window(asked);
        }
    }};
};

}  // namespace

// Fetch, rank, details, mail, record: each entry goes once, and only what the server accepted counts.
TEST_F(InternetHighscores, ANewBestGoesFromTheLocalTableToTheCollectorOnce) {
    serve(page());
    collect();
    open_and_fetch();
    const Languages& texts = *window->languages;
    EXPECT_EQ(memo_lines(dialog->Display).value(1), "700       Zoë" + QString(22, ' ') + "Bergen");
    EXPECT_EQ(memo_lines(dialog->Display).value(2).left(10 + 7), "600       Cy & Co");
    EXPECT_TRUE(memo_lines(dialog->DisplayMemo).contains("StatusCode = 200"));
    EXPECT_TRUE(memo_lines(dialog->DisplayMemo).contains("RequestDone Error = 0"));
    EXPECT_EQ(file_bytes("regular_hsc.html"), page());
    EXPECT_EQ(dialog->post_button->text(), texts.get_string(85));
    ASSERT_TRUE(dialog->post_button->isEnabled());

    post();
    EXPECT_EQ(answers.texts.last(), "[" + texts.get_string(90) + "] " + texts.get_string(89));
    const QStringList mails = received();
    ASSERT_EQ(mails.size(), 1);
    const QString body = mails[0].section("\r\n\r\n", 1);
    EXPECT_EQ(body, "regular mode highscore\r\nVersion: 1.20\r\nColor Depth: 24\r\n" + QString(34, '_') + "\r\n" +
                        kAddress + "\r\n805 points  by Kai from Zürich\r\n620 points  by Lu from Zürich\r\n");
    EXPECT_TRUE(mails[0].contains("\r\nSubject: regular Quorvel 2.1 highscore\r\n"));
    EXPECT_EQ(file_bytes("posted.txt"), "1 Earlier\r\n450 mo\r\n805 Kai\r\n620 Lu\r\n");
    EXPECT_FALSE(dialog->post_button->isEnabled());

    // Reopened, the kept page is ranked again without a fetch: nothing is left to offer.
    dialog->hide();
    QFile::remove(site.filePath("regular_hsc.html"));
    open();
    EXPECT_EQ(memo_lines(dialog->Display).value(0).left(13), "900       Ann");
    EXPECT_FALSE(dialog->post_button->isEnabled());

    // The other mode's table is fetched anew.
    dialog->hide();
    ModalAnswer yes([](QWidget* asked) {
        if (auto* button = asked->findChild<QPushButton*>("Button1")) return button->click();
        answer_game_end(asked);
    });
    window->menu->Difficult1->trigger();
    open();
    EXPECT_EQ(dialog->post_button->text(), texts.get_string(84));
    EXPECT_TRUE(dialog->post_button->isEnabled());
}

// The button stands under the local table, the next tab stop after OK; the internet table and the
// log show once fetched, beside and below it, all inside the dialog; the page's source never.
TEST_F(InternetHighscores, TheInternetTableShowsOnceFetched) {
    serve(page());
    open();
    EXPECT_TRUE(dialog->rect().contains(dialog->post_button->geometry()));
    EXPECT_TRUE(dialog->post_button->isVisible());
    EXPECT_FALSE(dialog->Panel2->isVisible());
    fetch_by_keys();
    const QRect local_table = dialog->findChild<QFrame*>("Panel1")->geometry();
    for (QWidget* part : std::initializer_list<QWidget*>{dialog->Panel2, dialog->DisplayMemo, dialog->post_button}) {
        EXPECT_TRUE(part->isVisible()) << part->objectName().toStdString();
        EXPECT_TRUE(dialog->rect().contains(part->geometry())) << part->objectName().toStdString();
        EXPECT_FALSE(part->geometry().intersects(local_table)) << part->objectName().toStdString();
    }
    EXPECT_FALSE(dialog->Panel2->geometry().intersects(dialog->DisplayMemo->geometry()));
    EXPECT_FALSE(dialog->source_display->isVisible());
    EXPECT_EQ(memo_lines(dialog->Display).value(0).left(13), "900       Ann");
}

// An entry whose key waits in memory counts as posted only once the file says so.
TEST_F(InternetHighscores, AnEntryNotPostedIsOfferedAgainAtTheNextOpening) {
    serve(page("640"), "iso-8859-1");
    QFile::remove(path("posted.txt"));
    open_and_fetch();
    EXPECT_EQ(memo_lines(dialog->Display).value(1).left(13), "640       ZoÃ");  // the page said UTF-8 bytes were Latin-1
    dialog->hide();
    open();
    EXPECT_TRUE(dialog->post_button->isEnabled());
    EXPECT_EQ(file_bytes("posted.txt"), "(none)");
}

struct Refusal {
    const char* meaning;
    QStringList collector_options;  // empty list with `no_server`: nobody listens
    bool no_server;
    int text;
};

class PostingRefused : public InternetHighscores, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PostingRefused, RecordsNothingAndLetsThePlayerTryAgain) {
    serve(page());
    if (GetParam().no_server) {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        qputenv("QUORVEL_MAIL_PORT", QByteArray::number(closed.serverPort()));
    } else {
        collect(GetParam().collector_options);
    }
    open_and_fetch();
    post();
    EXPECT_EQ(dialog->Display->toPlainText(), window->languages->get_string(GetParam().text));
    EXPECT_EQ(file_bytes("posted.txt"), "1 Earlier\r\n450 mo\r\n");
    EXPECT_TRUE(received().isEmpty());
    EXPECT_TRUE(dialog->post_button->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Servers, PostingRefused,
    ::testing::Values(Refusal{"DataRefused", {"--refuse-data"}, false, 91},
                      Refusal{"SecondCollectorRefused", {"--refuse-rcpt", "copy@scores.test"}, false, 91},
                      Refusal{"NoMailServer", {}, true, 92}),
    [](const auto& info) { return std::string(info.param.meaning); });

// A mail address the mail cannot carry is named before any connection; the player can correct it.
TEST_F(InternetHighscores, AnAddressTheMailCannotCarryIsRefusedBeforeConnecting) {
    serve(page());
    collect();
    open_and_fetch();
    address = "kai at example.test";
    const QString table = dialog->Display->toPlainText();
    dialog->post_button->click();
    const Languages& texts = *window->languages;
    EXPECT_EQ(answers.texts.last(), "[" + texts.get_string(92) + "] " + texts.get_string(88));
    EXPECT_EQ(dialog->Display->toPlainText(), table);
    EXPECT_TRUE(dialog->post_button->isEnabled());
    address = kAddress;
    post();
    EXPECT_EQ(received().size(), 1);
}

// Against this repository's own site: fetch the filler table, post, and after a new start the
// entries stand in the site's table and are not offered twice.
TEST_F(InternetHighscores, NewBestsTravelFromTheLocalTableToTheSitesPage) {
    QTemporaryDir data;
    const PythonServer own_site(QUORVEL_SITE_PROGRAM, {"--http", "127.0.0.1:0", "--smtp", "127.0.0.1:0", "--data",
                                                       data.path(), "--collectors", kCollectors.join(','),
                                                       "--print-ports", "--until-stdin-closes"});
    ASSERT_NE(own_site.port(1), 0);
    qputenv("QUORVEL_SITE", own_site.address().toUtf8());
    qputenv("QUORVEL_MAIL_PORT", QByteArray::number(own_site.port(1)));
    open_and_fetch();
    const Languages& texts = *window->languages;
    EXPECT_EQ(memo_lines(dialog->Display).value(0), display_row(800, "Marit Stonewell", ""));
    EXPECT_EQ(memo_lines(dialog->Display).value(8), display_row(10, "Rosa Glen", ""));
    ASSERT_TRUE(dialog->post_button->isEnabled());

    post();
    EXPECT_EQ(answers.texts.last(), "[" + texts.get_string(90) + "] " + texts.get_string(89));
    const QByteArray posted = "1 Earlier\r\n450 mo\r\n805 Kai\r\n650 Zoë\r\n620 Lu\r\n";
    EXPECT_EQ(file_bytes("posted.txt"), posted);
    dialog->hide();
    open();
    EXPECT_FALSE(dialog->post_button->isEnabled());

    dialog->hide();
    start_with_table();
    open_and_fetch();
    EXPECT_EQ(memo_lines(dialog->Display).value(0), display_row(805, "Kai", "Zürich"));
    EXPECT_EQ(memo_lines(dialog->Display).value(1), display_row(800, "Marit Stonewell", ""));
    EXPECT_EQ(memo_lines(dialog->Display).value(2), display_row(650, "Zoë", "Zürich"));
    EXPECT_EQ(memo_lines(dialog->Display).value(8), display_row(200, "Oskar Dune", ""));
    EXPECT_FALSE(dialog->post_button->isEnabled());
    EXPECT_EQ(file_bytes("posted.txt"), posted);
}

struct BadPage {
    const char* meaning;
    QByteArray bytes;
};

class BadPages : public InternetHighscores, public ::testing::WithParamInterface<BadPage> {};

// The standard error report at the fetch and at every later opening; the button stays disabled.
TEST_P(BadPages, AreReportedAndLeaveTheTableAsItWas) {
    serve(GetParam().bytes);
    EventGapWatch gaps;
    open_and_fetch();
    EXPECT_LT(gaps.longest_gap_ms(), 100);
    EXPECT_EQ(answers.answered(), 1);
    EXPECT_FALSE(dialog->post_button->isEnabled());
    EXPECT_EQ(dialog->Display->toPlainText(), "");
    dialog->hide();
    open();
    EXPECT_EQ(answers.answered(), 2);
    EXPECT_EQ(dialog->Display->toPlainText(), "");
    EXPECT_TRUE(answers.texts.last().startsWith("[" + QApplication::applicationName() + "] "));
    EXPECT_FALSE(dialog->post_button->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BadPages,
    ::testing::Values(BadPage{"PointsNoNumber", page("7OO")}, BadPage{"TooShort", page().left(300)},
                      BadPage{"OneLineOfAlmostOneMebibyte", QByteArray(1024 * 1024 - 10, 'x')}),
    [](const auto& info) { return std::string(info.param.meaning); });

// A failed fetch shows why and keeps the page file of the last good fetch.
TEST_F(InternetHighscores, AFailedFetchShowsTheStatusAndKeepsTheOldPageFile) {
    qputenv("QUORVEL_SITE", (pages.address() + "/site/utf-8").toUtf8());
    QFile old(path("regular_hsc.html"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old page");
    old.close();
    open_and_fetch();
    const QStringList shown = memo_lines(dialog->Display);
    EXPECT_EQ(shown.mid(shown.size() - 2), QStringList({"StatusCode   = 404", "ReasonPhrase = Not Found"}));
    EXPECT_FALSE(dialog->post_button->isEnabled());
    EXPECT_EQ(file_bytes("regular_hsc.html"), "old page");
    dialog->hide();
    open();
    EXPECT_EQ(dialog->post_button->text(), window->languages->get_string(84));
    EXPECT_TRUE(dialog->post_button->isEnabled());
}

// A mode change ends the game in the new mode: the posting from its game end ranks against the new
// mode's page, although the old mode's page was held, and the mail names the new mode.
TEST_F(InternetHighscores, TheGameEndOfAModeChangeRanksAndPostsInTheNewMode) {
    serve(page());
    QFile difficult(site.filePath("difficult_hsc.html"));
    ASSERT_TRUE(difficult.open(QIODevice::WriteOnly));
    difficult.write(page("640"));
    difficult.close();
    collect();
    open_and_fetch();
    ASSERT_EQ(memo_lines(dialog->Display).value(1).left(13), "700       Zoë");
    dialog->hide();

    QString ranked_against;
    int boxes = 0;
    const auto post_from_the_game_end = [&] {
        dialog->post_button->click();
        run_until([&] { return !dialog->Display->toPlainText().isEmpty(); });
        ranked_against = memo_lines(dialog->Display).value(1).left(13);
        dialog->post_button->click();
        run_until([&] { return boxes > 0; });
        ModalAnswer::close_window(dialog);
    };
    ModalAnswer mode_change([&](QWidget* asked) {
        Tname_enter& entry = *window->name_enter;
        if (auto* yes = asked->findChild<QPushButton*>("Button1")) return yes->click();
        if (asked == &entry && entry.Edit2->isVisible()) {
            entry.Edit2->setText(kAddress);
            entry.Edit3->setText("Zürich");
            return entry.okbtn->click();
        }
        if (asked == dialog) return post_from_the_game_end();
        if (answer_game_end(asked)) return;
        ++boxes;  // the posting's result
        ModalAnswer::close_window(asked);
    });
    window->engine->score_display->set_value(990);
    window->menu->Difficult1->trigger();
    EXPECT_EQ(ranked_against, "640       Zoë");
    const QStringList mails = received();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].contains("\r\nSubject: diffcult Quorvel 2.1 highscore\r\n"));  // the site reads this spelling
    EXPECT_TRUE(mails[0].section("\r\n\r\n", 1).startsWith("difficult mode highscore\r\n"));
    EXPECT_EQ(file_bytes("difficult_hsc.html"), page("640"));
}

// A FIFO where the dialog keeps a file: opening it to read would wait for a writer for ever.
struct SpecialFile {
    const char* name;
    QString file;
    QString error;  // the end of the box the player sees; empty when the table comes as usual
};

class SpecialFiles : public InternetHighscores, public ::testing::WithParamInterface<SpecialFile> {};

TEST_P(SpecialFiles, AreNeitherReadNorReplaced) {
    const QByteArray fifo = QFile::encodeName(path(GetParam().file));
    QFile::remove(path(GetParam().file));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    serve(page());
    {
        const HangGuard guard;
        open_and_fetch();
    }
    if (GetParam().error.isEmpty()) {
        EXPECT_EQ(answers.answered(), 0);
        EXPECT_EQ(memo_lines(dialog->Display).value(0).left(13), "900       Ann");
    } else {
        ASSERT_EQ(answers.answered(), 1);
        EXPECT_TRUE(answers.texts[0].endsWith(GetParam().error)) << answers.texts[0].toStdString();
    }
    struct stat status {};
    ASSERT_EQ(stat(fifo.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SpecialFiles,
    ::testing::Values(SpecialFile{"PostedList", "posted.txt", ""},
                      SpecialFile{"PageFile", "regular_hsc.html",
                                  "\"regular_hsc.html\" could not be read: it is not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FetchFailure {
    const char* meaning;
    QString site;     // after the page server's address; {closed}: a port nobody listens on
    int reason;       // the text that says why
    int hide_after_ms;  // the player closes the dialog during the fetch; 0: never
};

class FetchFailures : public InternetHighscores, public ::testing::WithParamInterface<FetchFailure> {};

// The dialog says why in the player's language; closing it ends the fetch at once.
TEST_P(FetchFailures, ShowTheirReason) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString site = GetParam().site.startsWith('{')
                             ? QString("http://127.0.0.1:%1").arg(closed.serverPort())
                             : pages.address() + GetParam().site;
    closed.close();
    qputenv("QUORVEL_SITE", site.toUtf8());
    dialog->HttpCli1->IdleTimeoutMs = 2000;
    if (GetParam().hide_after_ms > 0) QTimer::singleShot(GetParam().hide_after_ms, dialog, [this] { dialog->hide(); });
    open_and_fetch();
    EXPECT_TRUE(memo_lines(dialog->Display).contains(window->languages->get_string(GetParam().reason)))
        << dialog->Display->toPlainText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Sites, FetchFailures,
    ::testing::Values(FetchFailure{"NoPage", "/site/utf-8", 133, 0}, FetchFailure{"NobodyListens", "{closed}", 131, 0},
                      FetchFailure{"TooManyRedirects", "/redirect/6", 136, 0},
                      FetchFailure{"EndlessHead", "/endless-header-line", 134, 0},
                      FetchFailure{"NoAnswer", "/silent", 132, 0},
                      FetchFailure{"ClosedWhileFetching", "/silent", 135, 300}),
    [](const auto& info) { return std::string(info.param.meaning); });
