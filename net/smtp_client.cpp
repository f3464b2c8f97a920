#include "net/smtp_client.h"

#include <QDateTime>
#include <QLocale>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

namespace net {
namespace {

// Qt stops reading from the socket when this much waits unread: a line without end costs no more.
constexpr qint64 kReadBufferSize = 4 * SmtpClient::kMaxReplyLine;
constexpr int kShownReplyChars = 300;
constexpr int kMaxDataLine = SmtpClient::kMaxLen - 1;  // octets, before dot-stuffing

struct Service {
    const char* name;
    quint16 port;
};
// The services a mail client may be pointed at; TLS-only ports are left out on purpose.
constexpr std::array<Service, 2> kServices{{{"smtp", 25}, {"submission", 587}}};

bool is_digit(QChar c) { return c >= u'0' && c <= u'9'; }

std::optional<quint16> resolve_port(const QString& port) {
    if (!port.isEmpty() && std::all_of(port.begin(), port.end(), is_digit)) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (ok && number >= 1 && number <= 65535) return static_cast<quint16>(number);
        return std::nullopt;
    }
    for (const Service& service : kServices)
        if (port.compare(QLatin1String(service.name), Qt::CaseInsensitive) == 0) return service.port;
    return std::nullopt;
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool has_control(const QString& text) {
    const QList<uint> code_points = text.toUcs4();
    return std::any_of(code_points.begin(), code_points.end(), is_control);
}

// One octet per character; a character beyond ISO-8859-1 becomes "?".
QByteArray to_latin1(const QString& text) {
    QByteArray bytes;
    for (const uint c : text.toUcs4()) bytes += c < 0x100 ? static_cast<char>(c) : '?';
    return bytes;
}

// A line of the message as it goes over the wire, without its CRLF.
QByteArray data_line(QString text) {
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    QByteArray line = to_latin1(text).left(kMaxDataLine);
    if (line.startsWith('.')) line.prepend('.');
    return line;
}

QString date_text() {
    return QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("ddd, d MMM yyyy hh:mm:ss"));
}

QString shown_reply(const QByteArray& line) {
    QString text = QString::fromLatin1(line.left(kShownReplyChars));
    for (QChar& c : text)
        if (is_control(c.unicode())) c = u'?';
    return text;
}

struct ReplyLine {
    int code;
    bool last;  // "250 text" ends the reply, "250-text" goes on
};

std::optional<ReplyLine> parse_reply_line(const QByteArray& line) {
    if (line.size() < 3 || !std::all_of(line.begin(), line.begin() + 3, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int code = line.left(3).toInt();
    if (code < 200 || code > 599) return std::nullopt;
    if (line.size() == 3 || line[3] == ' ') return ReplyLine{code, true};
    if (line[3] == '-') return ReplyLine{code, false};
    return std::nullopt;
}

}  // namespace

// Printable ASCII only: no blank, no angle bracket that could end the path of the command.
bool SmtpClient::is_safe_address(const QString& address) {
    return std::all_of(address.begin(), address.end(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7F && c != u'<' && c != u'>';
    });
}

SmtpClient::SmtpClient(QObject* parent) : QObject(parent), reply_timer_(new QTimer(this)) {
    reply_timer_->setSingleShot(true);
    connect(reply_timer_, &QTimer::timeout, this, [this] {
        fail(kTimeout, QStringLiteral("The server did not answer within %1 ms").arg(ReplyTimeoutMs));
    });
}

SmtpClient::~SmtpClient() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

void SmtpClient::Open() {
    check_can_start(false);
    if (Host.trimmed().isEmpty()) throw SmtpError("No mail server given: Host is empty");
    if (has_control(Host)) throw SmtpError("Host holds a control character");
    const std::optional<quint16> port = resolve_port(Port);
    if (!port) throw SmtpError("Port is neither a number from 1 to 65535 nor a known service name");
    if (SignOn.isEmpty()) throw SmtpError("SignOn is empty: the server must be greeted with a name");
    if (has_control(SignOn)) throw SmtpError("SignOn holds a control character");

    start_request(RequestType::Connect, Step::Connecting);
    sign_on_ = SignOn;
    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(kReadBufferSize);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        step_ = Step::Greeting;
        reply_timer_->start(ReplyTimeoutMs);
        emit Display(QStringLiteral("Connected, waiting for the greeting"));
    });
    connect(socket_, &QTcpSocket::readyRead, this, &SmtpClient::read_replies);
    connect(socket_, &QTcpSocket::errorOccurred, this, &SmtpClient::on_connection_lost);
    connect(socket_, &QTcpSocket::disconnected, this, &SmtpClient::on_connection_lost);
    // Connecting from the event loop keeps even an instant refusal after Open has returned.
    QTimer::singleShot(0, socket_, [this, socket = socket_, host = Host, number = *port] {
        if (socket_ == socket) socket->connectToHost(host, number);
    });
    emit Display(QStringLiteral("Connecting to %1:%2").arg(Host).arg(*port));
}

void SmtpClient::Mail() {
    check_can_start(true);
    check_mail_fields();
    recipients_ = RcptName;
    header_ = {data_line("From: " + HdrFrom),
               data_line("To: " + HdrTo),
               data_line("Subject: " + HdrSubject),
               data_line(QStringLiteral("Mime-Version: 1.0")),
               data_line("Content-Type: text/plain; charset=\"" + CharSet + "\""),
               data_line("Date: " + date_text())};
    rcpt_index_ = 0;
    start_request(RequestType::Mail, Step::MailFrom);
    send_command(Step::MailFrom, "MAIL FROM:<" + FromName + ">");
}

void SmtpClient::Quit() {
    check_can_start(true);
    start_request(RequestType::Quit, Step::Quit);
    send_command(Step::Quit, QStringLiteral("QUIT"));
}

void SmtpClient::Abort() {
    if (socket_ || running_) fail(kAborted, QStringLiteral("Aborted"), Closing::Abort);
}

void SmtpClient::check_can_start(bool needs_session) const {
    if (running_) throw SmtpError("Another mail request is still running");
    if (needs_session && !session_ready_) throw SmtpError("Not connected to a mail server: Open first");
    if (!needs_session && socket_) throw SmtpError("Already connected to a mail server");
    if (ReplyTimeoutMs <= 0) throw SmtpError("ReplyTimeoutMs must be positive");
}

void SmtpClient::check_mail_fields() const {
    if (RcptName.isEmpty()) throw SmtpError("No recipients: RcptName is empty");
    const auto unsafe = [](const char* field) {
        return SmtpError(std::string(field) + " holds a blank, a control character, \"<\", \">\" or a non-ASCII sign");
    };
    if (!is_safe_address(FromName)) throw unsafe("FromName");
    for (const QString& recipient : RcptName) {
        if (recipient.isEmpty()) throw SmtpError("RcptName holds an empty address");
        if (!is_safe_address(recipient)) throw unsafe("RcptName");
    }
    const std::array<std::pair<const char*, const QString*>, 3> headers{
        {{"HdrFrom", &HdrFrom}, {"HdrTo", &HdrTo}, {"HdrSubject", &HdrSubject}}};
    for (const auto& [name, value] : headers)
        if (has_control(*value)) throw SmtpError(std::string(name) + " holds a line break or other control character");
    if (CharSet.compare(QLatin1String("iso-8859-1"), Qt::CaseInsensitive) != 0)
        throw SmtpError("CharSet must be iso-8859-1, the encoding the message is sent in");
}

void SmtpClient::start_request(RequestType kind, Step first) {
    running_ = kind;
    step_ = first;
    reply_lines_ = 0;
}

// Emits last: a Display handler may end the session.
void SmtpClient::send_command(Step next, const QString& command) {
    step_ = next;
    socket_->write(to_latin1(command) + "\r\n");
    reply_timer_->start(ReplyTimeoutMs);
    emit Display("> " + command);
}

void SmtpClient::send_message() {
    const std::optional<QList<QByteArray>> body = collect_body();
    if (step_ != Step::Data) return;  // a GetData handler ended the request
    if (!body) {
        fail(kBodyTooLong, QStringLiteral("The message has more than %1 lines").arg(kMaxBodyLines));
        return;
    }
    const QList<QByteArray> lines = header_ + QList<QByteArray>{QByteArray()} + *body;
    QByteArray data;
    for (const QByteArray& line : lines) data += line + "\r\n";
    data += ".\r\n";
    step_ = Step::DataEnd;
    socket_->write(data);  // Qt sends it from the event loop; the reply may come before it is all out
    reply_timer_->start(ReplyTimeoutMs);
    for (const QByteArray& line : lines) {
        emit Display("> " + QString::fromLatin1(line));
        if (step_ != Step::DataEnd) return;
    }
    emit Display(QStringLiteral("> ."));
}

// The body lines, or nothing when GetData never says the body has ended.
std::optional<QList<QByteArray>> SmtpClient::collect_body() {
    QList<QByteArray> lines;
    for (int line_num = 1; line_num <= kMaxBodyLines + 1 && step_ == Step::Data; ++line_num) {
        QString text;
        bool more = true;
        emit GetData(line_num, text, kMaxLen, more);
        if (!more) return lines;
        lines << data_line(text);
    }
    return std::nullopt;
}

void SmtpClient::read_replies() {
    QTcpSocket* const socket = socket_;
    while (socket && socket_ == socket && socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxReplyLine + 1);
        if (line.size() > kMaxReplyLine || !line.endsWith('\n')) {
            fail(kReplyTooLong, QStringLiteral("A reply line is longer than %1 octets").arg(kMaxReplyLine));
            return;
        }
        take_reply_line(socket, line);
    }
    if (socket && socket_ == socket && socket->bytesAvailable() >= kMaxReplyLine)
        fail(kReplyTooLong, QStringLiteral("A reply line is longer than %1 octets").arg(kMaxReplyLine));
}

void SmtpClient::take_reply_line(QTcpSocket* socket, QByteArray line) {
    line.chop(line.endsWith("\r\n") ? 2 : 1);
    emit Display("< " + shown_reply(line));
    if (socket_ != socket) return;
    const std::optional<ReplyLine> reply = parse_reply_line(line);
    if (!reply) return fail(kProtocolError, QStringLiteral("The server's reply is not SMTP"));
    if (step_ == Step::Idle) return fail(kProtocolError, QStringLiteral("The server sent a reply nobody asked for"));
    if (reply_lines_ > 0 && reply->code != reply_code_)
        return fail(kProtocolError, QStringLiteral("The lines of one reply carry different codes"));
    if (++reply_lines_ > kMaxReplyLines)
        return fail(kReplyTooLong, QStringLiteral("A reply has more than %1 lines").arg(kMaxReplyLines));
    reply_code_ = reply->code;
    if (!reply->last) return;
    reply_lines_ = 0;
    on_reply(reply->code);
}

int SmtpClient::expected_code(Step step) {
    switch (step) {
    case Step::Greeting: return 220;
    case Step::Data: return 354;
    case Step::Quit: return 221;
    case Step::Ehlo:
    case Step::Helo:
    case Step::MailFrom:
    case Step::RcptTo:
    case Step::DataEnd: return 250;
    case Step::Idle:
    case Step::Connecting: break;
    }
    return 0;
}

void SmtpClient::on_reply(int code) {
    reply_timer_->stop();
    if (code == expected_code(step_) || (step_ == Step::RcptTo && code == 251)) return on_expected_reply();
    if (step_ == Step::Ehlo && code >= 500) return send_command(Step::Helo, "HELO " + sign_on_);
    if (code < 400) return fail(kProtocolError, QStringLiteral("Reply %1 makes no sense here").arg(code));
    fail(static_cast<quint16>(code), QStringLiteral("The server refused with reply %1").arg(code), Closing::SayQuit);
}

void SmtpClient::on_expected_reply() {
    switch (step_) {
    case Step::Greeting: return send_command(Step::Ehlo, "EHLO " + sign_on_);
    case Step::Ehlo:
    case Step::Helo: session_ready_ = true; return succeed();
    case Step::MailFrom:
    case Step::RcptTo:
        if (rcpt_index_ < recipients_.size())
            return send_command(Step::RcptTo, "RCPT TO:<" + recipients_[rcpt_index_++] + ">");
        return send_command(Step::Data, QStringLiteral("DATA"));
    case Step::Data: return send_message();
    case Step::DataEnd: return succeed();
    case Step::Quit: close_session(Closing::Gently); return succeed();
    case Step::Idle:
    case Step::Connecting: return;
    }
}

// An error of the socket or its end: what arrived before still counts.
void SmtpClient::on_connection_lost() {
    QTcpSocket* const socket = socket_;
    if (!socket) return;
    const bool connecting = step_ == Step::Connecting;
    read_replies();
    if (socket_ != socket) return;
    if (connecting) return fail(kNoConnection, "Cannot connect: " + socket->errorString());
    fail(kConnectionDropped, QStringLiteral("The server closed the connection"));
}

void SmtpClient::succeed() {
    const std::optional<RequestType> kind = std::exchange(running_, std::nullopt);
    reply_timer_->stop();
    step_ = Step::Idle;
    if (kind) emit RequestDone(*kind, 0);
}

// Ends the session, then tells: handlers may start the next request at once.
void SmtpClient::fail(quint16 error, const QString& why, Closing how) {
    const std::optional<RequestType> kind = std::exchange(running_, std::nullopt);
    const bool says_quit = close_session(how);
    if (says_quit) emit Display(QStringLiteral("> QUIT"));
    emit Display(why);
    if (kind) emit RequestDone(*kind, error);
}

// Returns whether a QUIT went out.
bool SmtpClient::close_session(Closing how) {
    reply_timer_->stop();
    step_ = Step::Idle;
    session_ready_ = false;
    reply_lines_ = 0;
    QTcpSocket* const socket = std::exchange(socket_, nullptr);
    if (!socket) return false;
    socket->disconnect(this);
    if (how == Closing::Abort || socket->state() != QAbstractSocket::ConnectedState) {
        socket->abort();
        socket->deleteLater();
        return false;
    }
    if (how == Closing::SayQuit) socket->write("QUIT\r\n");
    // The last words may still go out, though not for longer than a reply may take.
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(ReplyTimeoutMs, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    return how == Closing::SayQuit;
}

}  // namespace net
