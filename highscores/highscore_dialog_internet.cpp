#include "highscores/highscore_dialog.h"

#include "highscores/table_view.h"
#include "localisation/languages.h"
#include "net/http_client.h"
#include "platform/project_addresses.h"
#include "platform/regular_file.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr int kFailureText = 3;
constexpr int kPostText = 85;
constexpr int kPostDescription = 188;
// The client refuses larger pages; a file that grew since is not read.
constexpr qint64 kMaxPageFile = 2 * 1024 * 1024;
// The page's copy in the log shows its beginning.
constexpr int kShownPageLines = 500;

// The page in the charset its reply declared; ISO-8859-1 when it declared none the decoder knows.
QString decoded_page(const QByteArray& bytes, const QString& charset) {
    QStringDecoder decoder(charset.isEmpty() ? "ISO-8859-1" : charset.toLatin1().constData());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
    return decoder.decode(bytes);
}

// Why a fetch failed, in the player's language.
int reason_text(net::HttpClient::Error error) {
    switch (error) {
    case net::HttpClient::kBadUrl: return 130;
    case net::HttpClient::kNoConnection: return 131;
    case net::HttpClient::kTimeout: return 132;
    case net::HttpClient::kHttpStatus: return 133;
    case net::HttpClient::kTooLarge: return 134;
    case net::HttpClient::kAborted: return 135;
    case net::HttpClient::kBadRedirect: return 136;
    case net::HttpClient::kBrokenReply: return 137;
    case net::HttpClient::kStreamFailed: return 138;
    case net::HttpClient::kOk: break;
    }
    return 0;
}

}  // namespace

void THighscores::retrieve_and_post() {
    if (page_lines.isEmpty())
        fetch_page();
    else
        post_highscores();
}

void THighscores::fetch_page() {
    show_internet_table(true);
    post_button->setEnabled(false);
    DisplayMemo->clear();
    Display->clear();
    source_display->clear();
    HttpCli1->Proxy.clear();
    HttpCli1->ProxyPort.clear();
    HttpCli1->RcvdStream = nullptr;
    HttpCli1->URL = highscore_page_address(game_.regular_mode());
    HttpCli1->ModifiedSince = 0;
    try {
        HttpCli1->Get();
    } catch (const net::RequestFailed&) {
        page_file_.reset();
        show_fetch_failure();
        return;
    }
    page_file_.reset();
    DisplayMemo->appendPlainText("StatusCode = " + QString::number(HttpCli1->StatusCode()));
    for (const QString& line : HttpCli1->RcvdHeader()) DisplayMemo->appendPlainText("hdr>" + shown_line(line));
    read_page_file();
    // Disabled during the fetch, the button lost the focus it was pressed with.
    if (post_button->isEnabled()) post_button->setFocus();
}

// The button stays disabled until the dialog opens again.
void THighscores::show_fetch_failure() {
    show_text_file(kFailureText);
    Display->appendPlainText(languages_.get_string(reason_text(HttpCli1->LastError())));
    Display->appendPlainText("StatusCode   = " + QString::number(HttpCli1->StatusCode()));
    Display->appendPlainText("ReasonPhrase = " + shown_line(HttpCli1->ReasonPhrase()));
}

void THighscores::read_page_file() {
    const QString name = HttpCli1->DocName();
    const FileRead file = read_regular_file(name, kMaxPageFile);
    if (file.outcome != FileRead::Read) {
        report_error("The highscore page \"" + name + "\" could not be read: " + file.error);
        return;
    }
    const QString text = decoded_page(file.bytes, HttpCli1->DocCharset());
    page_lines = text.split(QRegularExpression("\r\n|\n|\r"));
    QStringList shown;
    for (const QString& line : page_lines.mid(0, kShownPageLines)) shown.append(shown_line(line));
    source_display->setPlainText(shown.join('\n'));
    rebuild_internet_table();
}

// The page file is replaced only by a page that arrived whole, and never where something other
// than a regular file stands at its name.
void THighscores::HttpCli1DocBegin() {
    const QString name = HttpCli1->DocName();
    if (holds_other_than_regular_file(name)) {
        DisplayMemo->appendPlainText("The page could not be saved: \"" + name + "\" is not a regular file");
        return;
    }
    page_file_ = std::make_unique<QSaveFile>(name);
    if (page_file_->open(QIODevice::WriteOnly)) HttpCli1->RcvdStream = page_file_.get();
}

void THighscores::HttpCli1DocEnd() {
    HttpCli1->RcvdStream = nullptr;
    if (page_file_ && page_file_->isOpen() && !page_file_->commit())
        DisplayMemo->appendPlainText("The page could not be saved: " + page_file_->errorString());
    page_file_.reset();
}

void THighscores::HttpCli1RequestDone(quint16 error) {
    DisplayMemo->appendPlainText("RequestDone Error = " + QString::number(error));
}

void THighscores::rebuild_internet_table() {
    try {
        source_displayChange();
    } catch (const PageError& error) {
        report_error(error.what());
    }
}

// Rebuilds the internet table from the kept page and finds the local entries that would enter it.
// A page it cannot read leaves the table as it was and the button disabled.
void THighscores::source_displayChange() {
    Display->setLineWrapMode(QPlainTextEdit::NoWrap);
    post_button->setText(languages_.get_string(kPostText));
    post_button->setAccessibleDescription(languages_.get_string(kPostDescription));
    post_button->setEnabled(false);
    local_scores.clear();
    internet_scores.clear();
    local_lines = lines_;
    internet_scores = parse_page(page_lines);
    Display->clear();
    std::vector<TableRow> rows;
    for (const score& row : internet_scores) {
        Display->appendPlainText(shown_line(display_line(row)));
        rows.push_back({{}, QString::number(row.points), shown_line(row.name), shown_line(row.country)});
    }
    Display->set_rows(std::move(rows));
    local_scores = local_candidates(local_lines);
    post_rank.fill(-1);
    for (std::size_t k = 0; k < local_scores.size() && k < post_rank.size(); ++k)
        post_rank[k] = rank_for_posting(local_scores[k], internet_scores, posted);
    post_button->setEnabled(std::any_of(post_rank.begin(), post_rank.end(), [](int rank) { return rank >= 0; }));
}
