#include "highscores/highscore_dialog.h"

#include "highscores/name_entry_dialog.h"
#include "highscores/posted_file.h"
#include "localisation/languages.h"
#include "platform/project_addresses.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kNotSentText = 88;
constexpr int kThanksText = 89;
constexpr int kThanksCaption = 90;
constexpr int kSendingFailedText = 91;
constexpr int kNoConnectionText = 92;
constexpr int kRuleLength = 34;

}  // namespace

// Asks for the mail address and place, then mails every local entry that enters the web table.
// The button rests while the mail is under way and comes back when it failed.
void THighscores::post_highscores() {
    try {
        compose_mail();
        SmtpClient->Open();
        post_button->setEnabled(false);
    } catch (const net::SmtpError&) {
        QMessageBox(QMessageBox::Critical, languages_.get_string(kNoConnectionText), languages_.get_string(kNotSentText),
                    QMessageBox::Ok, this)
            .exec();
    }
}

void THighscores::compose_mail() {
    const bool regular = game_.regular_mode();
    mail_body = QStringList{regular ? "regular mode highscore" : "difficult mode highscore", "Version: " + game_.version,
                            "Color Depth: " + QString::number(game_.color_depth()), QString(kRuleLength, '_')};
    Tname_enter& details = game_.name_entry();
    const QString name = details.Edit1->text();
    details.prepare_posting_form();
    details.exec();
    details.Edit1->show();
    details.Edit1->setText(name);
    const QString address = details.Edit2->text();
    const QString place = details.Edit3->text();
    if (!net::SmtpClient::is_safe_address(address)) throw net::SmtpError("the mail address cannot be sent");
    const HighscoreMail mail = highscore_mail();
    if (mail.collectors.isEmpty()) throw net::SmtpError("no mailbox collects highscores");
    SmtpClient->Host = mail.host;
    SmtpClient->Port = mail.port;
    mail_body.append(address);
    SmtpClient->HdrFrom = address;
    SmtpClient->HdrTo = mail.collectors.first();
    SmtpClient->HdrSubject = regular ? "regular Quorvel 2.1 highscore" : "diffcult Quorvel 2.1 highscore";
    SmtpClient->SignOn = mail.sign_on;
    SmtpClient->FromName = address;
    SmtpClient->RcptName = mail.collectors;
    // The entries that qualified, in the order of the local table.
    for (std::size_t k = 0; k < local_scores.size() && k < post_rank.size(); ++k)
        if (post_rank[k] >= 0)
            mail_body.append(QString::number(local_scores[k].points) + " points  by " + local_scores[k].name + " from " +
                             place);
}

void THighscores::SmtpClientDisplay(const QString& message) { DisplayMemo->appendPlainText(message); }

void THighscores::SmtpClientGetData(int LineNum, QString& MsgLine, int MaxLen, bool& More) {
    if (LineNum > mail_body.size()) {
        More = false;
        return;
    }
    MsgLine = mail_body[LineNum - 1].left(MaxLen - 1);
}

void THighscores::SmtpClientRequestDone(net::SmtpClient::RequestType RqType, quint16 Error) {
    using Request = net::SmtpClient::RequestType;
    try {
        if (RqType == Request::Connect && Error == 0)
            SmtpClient->Mail();
        else if (RqType == Request::Connect)
            posting_failed(kNoConnectionText);
        else if (RqType == Request::Mail && Error == 0)
            posting_delivered();
        else if (RqType == Request::Mail)
            posting_failed(kSendingFailedText);
    } catch (const net::SmtpError& error) {
        DisplayMemo->appendPlainText(error.what());
        posting_failed(kSendingFailedText);
    }
}

// The server took the mail: from now on its entries count as posted.
void THighscores::posting_delivered() {
    post_button->setEnabled(false);
    const QString error = record_posted(kPostedFile, posted);
    if (!error.isEmpty()) report_error(error);
    try {
        SmtpClient->Quit();
    } catch (const net::SmtpError& quit_error) {
        DisplayMemo->appendPlainText(quit_error.what());
    }
    QMessageBox(QMessageBox::NoIcon, languages_.get_string(kThanksCaption), languages_.get_string(kThanksText),
                QMessageBox::Ok, this)
        .exec();
}

// Nothing is recorded; the connection is closed so that the button can try again.
void THighscores::posting_failed(int text) {
    SmtpClient->Abort();
    Display->clear();
    Display->appendPlainText(languages_.get_string(text));
    post_button->setEnabled(true);
}
