#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

class QTcpSocket;
class QTimer;

namespace net {

// A request the mail client cannot start: busy, not connected, no host, an unsafe address.
class SmtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sends one plain-text mail by SMTP (RFC 5321), asynchronously on the GUI thread.
// Any failed request ends the session: the connection is closed and the next mail needs Open.
class SmtpClient : public QObject {
    Q_OBJECT
public:
    enum class RequestType { Connect, Mail, Quit };

    // RequestDone's error besides the server's own reply codes (200..599); 0 is success.
    static constexpr quint16 kNoConnection = 1;       // host not found, connection refused
    static constexpr quint16 kTimeout = 2;            // no whole reply within ReplyTimeoutMs
    static constexpr quint16 kConnectionDropped = 3;  // the server closed the connection
    static constexpr quint16 kProtocolError = 4;      // a reply that is not SMTP
    static constexpr quint16 kReplyTooLong = 5;       // a reply line or a reply beyond the bounds below
    static constexpr quint16 kAborted = 6;            // Abort()
    static constexpr quint16 kBodyTooLong = 7;        // GetData never said the body had ended

    static constexpr int kMaxReplyLine = 1000;  // octets, the line end included
    static constexpr int kMaxReplyLines = 100;
    static constexpr int kMaxBodyLines = 1000;
    // GetData's MaxLen: a line of MaxLen - 1 octets, a dot in front and CRLF make 1000.
    static constexpr int kMaxLen = 998;

    explicit SmtpClient(QObject* parent = nullptr);
    ~SmtpClient() override;

    // An address the envelope can carry: printable ASCII, no blank, no angle bracket.
    static bool is_safe_address(const QString& address);

    QString Host;
    QString Port = "smtp";  // a number or a service name
    QString SignOn;         // the name in EHLO / HELO
    QString FromName;       // envelope sender
    QStringList RcptName;   // envelope recipients
    QString HdrFrom;
    QString HdrTo;
    QString HdrSubject;
    QString CharSet = "iso-8859-1";  // the only one: headers and body are sent in ISO-8859-1
    int ReplyTimeoutMs = 30000;  // the longest wait for any one reply

    // Each starts a request that ends with RequestDone; each throws SmtpError when it cannot start.
    void Open();  // connect and greet
    void Mail();  // envelope, headers, body, accepted by the server's 250 after the data
    void Quit();
    // Closes the connection at once; a running request ends with kAborted.
    void Abort();

signals:
    // One progress line: "> " a command or data line sent, "< " a reply line received.
    void Display(const QString& message);
    // Asked once per body line, LineNum from 1; the handler sets More to false when none is left.
    void GetData(int LineNum, QString& MsgLine, int MaxLen, bool& More);
    // Comes from within the socket's own signals: a handler that runs an event loop of its own (a
    // modal box) must be connected queued, or the socket may be deleted under that signal.
    void RequestDone(net::SmtpClient::RequestType RqType, quint16 Error);

private:
    enum class Step { Idle, Connecting, Greeting, Ehlo, Helo, MailFrom, RcptTo, Data, DataEnd, Quit };
    enum class Closing { Abort, Gently, SayQuit };

    void check_can_start(bool needs_session) const;
    void check_mail_fields() const;
    void start_request(RequestType kind, Step first);
    void send_command(Step next, const QString& command);
    void send_message();
    std::optional<QList<QByteArray>> collect_body();
    void read_replies();
    void take_reply_line(QTcpSocket* socket, QByteArray line);
    static int expected_code(Step step);
    void on_reply(int code);
    void on_expected_reply();
    void on_connection_lost();
    void succeed();
    void fail(quint16 error, const QString& why, Closing how = Closing::Abort);
    bool close_session(Closing how);

    QTcpSocket* socket_ = nullptr;  // one per session
    QTimer* reply_timer_ = nullptr;
    std::optional<RequestType> running_;
    Step step_ = Step::Idle;
    bool session_ready_ = false;  // greeted: Mail and Quit may start
    // What Open and Mail checked, kept so that later changes of the fields cannot slip through.
    QString sign_on_;
    QStringList recipients_;
    QList<QByteArray> header_;
    int rcpt_index_ = 0;
    int reply_code_ = 0;   // of the reply being read
    int reply_lines_ = 0;  // lines of it read so far
};

}  // namespace net
