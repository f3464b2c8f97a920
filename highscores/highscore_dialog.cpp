#include "highscores/highscore_dialog.h"

#include "highscores/posted_file.h"
#include "highscores/table_view.h"
#include "localisation/languages.h"
#include "net/http_client.h"
#include "presentation/dialog_controls.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

constexpr int kRegularCaption = 86;
constexpr int kDifficultCaption = 87;
constexpr int kLabelWidth = 96;
constexpr int kInternetLabelWidth = 168;
constexpr int kOkResult = 1;
constexpr int kIntroText = 2;
constexpr int kFetchText = 84;
constexpr int kFetchDescription = 187;
// The protocol log keeps its last lines, whatever a server sends.
constexpr int kLogLines = 500;
// The local table with the internet button under it; and with the internet table beside it and
// the log below, once there is something to see there.
constexpr QSize kTableOnly{309, 369};
constexpr QSize kWithInternet{633, 441};
constexpr QRect kButtonUnderTable{8, 328, 293, 33};
constexpr QRect kButtonUnderInternetTable{320, 288, 297, 33};

QFont pixel_font(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}

QFrame* panel(QWidget* parent, const char* name, const QRect& bounds) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(bounds);
    return frame;
}

QPlainTextEdit* log_memo(QWidget* parent, const char* name, const QRect& bounds) {
    auto* memo = place(new QPlainTextEdit(name, parent), name, 0, bounds);
    memo->setReadOnly(true);
    memo->setMaximumBlockCount(kLogLines);
    return memo;
}

}  // namespace

THighscores::THighscores(QWidget* main_window, const Languages& languages, QStringList tables, Game game)
    : QDialog(main_window), main_window_(main_window), languages_(languages), game_(std::move(game)) {
    setFixedSize(kTableOnly);
    Label1 = place(new QLabel("Highscores", this), "Label1", 81, QRect(8, 16, kLabelWidth, 24));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(pixel_font(Label1->font(), 19));
    Memo1 = table_memo(panel(this, "Panel1", {8, 56, 297, 217}), "Memo1", {8, 8, 281, 201});
    okbtn = place(new QPushButton("OK", this), "okbtn", 83, QRect(88, 288, 137, 33));
    okbtn->setDefault(true);
    connect(okbtn, &QPushButton::clicked, this, &THighscores::okbtnClick);
    create_internet_panel();
    set_lines(tables);
}

THighscores::~THighscores() = default;

// The button is the next tab stop after OK; the table and the log show once there is a page or a posting.
void THighscores::create_internet_panel() {
    Label2 = place(new QLabel("Internet Highscores:", this), "Label2", 82, QRect(320, 16, kInternetLabelWidth, 24));
    Label2->setFont(pixel_font(Label2->font(), 19));
    post_button = place(new QPushButton("Display the Website Highscores", this), "post_button", 0, kButtonUnderTable);
    connect(post_button, &QPushButton::clicked, this, &THighscores::retrieve_and_post);
    Panel2 = panel(this, "Panel2", {312, 56, 313, 217});
    Display = table_memo(Panel2, "Display", {8, 8, 297, 201});
    Display->setPlainText("You can load the highscores from the official\nQuorvel Website into this window simply by\n"
                          "pressing the button below. ");
    DisplayMemo = log_memo(this, "DisplayMemo", {16, 336, 601, 97});
    source_display = log_memo(this, "source_display", {408, 352, 209, 105});
    source_display->hide();
    show_internet_table(false);
    setTabOrder(Memo1, okbtn);
    setTabOrder(okbtn, post_button);
    setTabOrder(post_button, Display);
    setTabOrder(Display, DisplayMemo);
    setTabOrder(DisplayMemo, source_display);

    HttpCli1 = new net::HttpClient(this);
    connect(HttpCli1, &net::HttpClient::DocBegin, this, &THighscores::HttpCli1DocBegin);
    connect(HttpCli1, &net::HttpClient::DocEnd, this, &THighscores::HttpCli1DocEnd);
    connect(HttpCli1, &net::HttpClient::RequestDone, this, &THighscores::HttpCli1RequestDone);
    SmtpClient = new net::SmtpClient(this);
    connect(SmtpClient, &net::SmtpClient::Display, this, &THighscores::SmtpClientDisplay);
    connect(SmtpClient, &net::SmtpClient::GetData, this, &THighscores::SmtpClientGetData);
    // Queued: the handler opens message boxes, and a box's event loop must not run inside the
    // socket's own signal, where the socket may end and be deleted under the signal's feet.
    connect(SmtpClient, &net::SmtpClient::RequestDone, this, &THighscores::SmtpClientRequestDone,
            Qt::QueuedConnection);
}

void THighscores::show_internet_table(bool shown) {
    for (QWidget* part : std::initializer_list<QWidget*>{Label2, Panel2, DisplayMemo}) part->setVisible(shown);
    post_button->setGeometry(shown ? kButtonUnderInternetTable : kButtonUnderTable);
    setFixedSize(shown ? kWithInternet : kTableOnly);
}

void THighscores::highlight_entry(int line) { Memo1->highlight_row(line); }

void THighscores::set_lines(const QStringList& lines) {
    lines_ = lines;
    QStringList shown;
    for (const QString& line : lines_) shown.append(shown_line(line));
    Memo1->setPlainText(shown.join('\n'));
    Memo1->set_rows(local_table_rows(lines_));
}

void THighscores::clear_page() {
    if (page_lines.isEmpty()) return;
    Display->clear();
    page_lines.clear();
}

// "Highscores" stays centred where it was designed; the labels grow when a language needs more room.
bool THighscores::translate() {
    const bool label = languages_.set_caption(Label1);
    Label1->resize(std::max(kLabelWidth, Label1->sizeHint().width()), Label1->height());
    const bool internet_label = languages_.set_caption(Label2);
    Label2->resize(std::max(kInternetLabelWidth, Label2->sizeHint().width()), Label2->height());
    const bool button = languages_.set_caption(okbtn);
    // Screen readers name each table by its heading.
    Memo1->setAccessibleName(Label1->text());
    Display->setAccessibleName(Label2->text().remove(':').trimmed());
    return label && internet_label && button;
}

void THighscores::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

// A fetch still running when the dialog closes ends there.
void THighscores::hideEvent(QHideEvent* event) {
    HttpCli1->Abort();
    Memo1->highlight_row(-1);
    QDialog::hideEvent(event);
}

// The list of posted entries is read before the kept page is ranked again, so an entry counts as
// posted exactly when the file says so.
void THighscores::FormShow() {
    move(main_window_->x() - 10, main_window_->y());
    setWindowTitle(languages_.get_string(game_.regular_mode() ? kRegularCaption : kDifficultCaption));
    read_posted(kPostedFile, posted);
    show_internet_table(!page_lines.isEmpty());
    if (page_lines.isEmpty()) {
        post_button->setText(languages_.get_string(kFetchText));
        post_button->setAccessibleDescription(languages_.get_string(kFetchDescription));
        post_button->setEnabled(true);
        show_text_file(kIntroText);
    } else {
        rebuild_internet_table();
    }
    translate();
}

void THighscores::okbtnClick() {
    hide();
    done(kOkResult);
}

// A text file of the language library in Display, its lines wrapped.
void THighscores::show_text_file(int tag) {
    set_tag(Display, tag);
    Display->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    try {
        languages_.load_text(Display);
    } catch (const std::runtime_error& error) {
        report_error(error.what());
    }
}

// The application's own report of an error: its name as the caption, the message, a stop sign.
void THighscores::report_error(const QString& message) {
    QMessageBox::critical(this, QApplication::applicationName(), message);
}
