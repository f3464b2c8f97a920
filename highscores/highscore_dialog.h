#pragma once

#include "highscores/internet_scores.h"
#include "highscores/table_view.h"
#include "net/smtp_client.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Languages;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSaveFile;
class Tname_enter;
namespace net {
class HttpClient;
}

// The highscore dialog: the local table of the mode in force, and, once fetched, the internet table
// of the web site beside it with the posting of new highscores by mail. It holds both
// local tables, as the lines of highscore_tables.h, from the start of the program to its end.
class THighscores : public QDialog {
public:
    // What the dialog asks of the game each time it needs it.
    struct Game {
        std::function<bool()> regular_mode;
        std::function<int()> color_depth;
        QString version;
        std::function<Tname_enter&()> name_entry;  // asks for the mail address and place
    };

    THighscores(QWidget* main_window, const Languages& languages, QStringList tables, Game game);
    ~THighscores() override;

    QStringList lines() const { return lines_; }
    void set_lines(const QStringList& lines);
    // Forgets the fetched page when the mode changes: the next click fetches the other mode's.
    void clear_page();
    // Marks the entry of the local table just entered until the dialog closes.
    void highlight_entry(int line);

    // The captions of the dialog's texts from the language library; false when one failed.
    bool translate();

    QLabel* Label1;
    QLabel* Label2;
    TableMemo* Memo1;
    QPushButton* okbtn;
    QPushButton* post_button;
    QFrame* Panel2;
    TableMemo* Display;
    QPlainTextEdit* DisplayMemo;
    QPlainTextEdit* source_display;
    net::HttpClient* HttpCli1;
    net::SmtpClient* SmtpClient;

    QStringList page_lines;
    QStringList posted;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void create_internet_panel();
    void show_internet_table(bool shown);
    void FormShow();
    void okbtnClick();
    void report_error(const QString& message);
    void show_text_file(int tag);

    void retrieve_and_post();
    void fetch_page();
    void show_fetch_failure();
    void read_page_file();
    void HttpCli1DocBegin();
    void HttpCli1DocEnd();
    void HttpCli1RequestDone(quint16 error);
    void source_displayChange();
    void rebuild_internet_table();

    void post_highscores();
    void compose_mail();
    void SmtpClientDisplay(const QString& message);
    void SmtpClientGetData(int LineNum, QString& MsgLine, int MaxLen, bool& More);
    void SmtpClientRequestDone(net::SmtpClient::RequestType RqType, quint16 Error);
    void posting_delivered();
    void posting_failed(int text);

    QWidget* main_window_;
    const Languages& languages_;
    Game game_;
    QStringList lines_;
    QStringList local_lines;
    QStringList mail_body;
    std::vector<score> local_scores;
    std::vector<score> internet_scores;
    std::array<int, 9> post_rank{};
    std::unique_ptr<QSaveFile> page_file_;
};
