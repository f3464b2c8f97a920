#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <stdexcept>

#include <memory>

class QEventLoop;
class QIODevice;
class QTcpSocket;
class QTimer;
class QUrl;

namespace net {

class HttpReplyReader;

// A request that failed: no connection, an HTTP status of 400 or more, too slow, too large.
class RequestFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fetches one document by HTTP/1.1 GET while the GUI thread keeps handling its events. It reads
// the connection itself, so every byte is counted as it arrives. Limits: at most 5 redirects within
// http and https, 15 s without progress and four times that in all, 64 KiB of head, 1 MiB of body,
// kMaxReply bytes on the wire for one reply. No compression is asked for, and none is taken.
class HttpClient : public QObject {
    Q_OBJECT
public:
    // What RequestDone reports.
    enum Error : quint16 {
        kOk = 0,
        kBadUrl = 1,        // not an http or https address, or a proxy port that is no port number
        kNoConnection = 2,  // host not found, connection refused, TLS or proxy failure
        kTimeout = 3,       // IdleTimeoutMs without a byte, or kTotalTimeFactor times that in all
        kHttpStatus = 4,    // the server answered with a status of 400 or more
        kTooLarge = 5,      // a head over 64 KiB, a body over kMaxBody, announced or received, a reply over kMaxReply
        kAborted = 6,       // Abort(), or the application quitting during Get
        kBadRedirect = 7,   // more than kMaxRedirects, or to a scheme other than http and https
        kBrokenReply = 8,   // not HTTP, a status outside 100..599, compressed, or the connection lost mid-reply
        kStreamFailed = 9,  // RcvdStream did not take the bytes
    };

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    QString URL;
    QString Proxy;       // empty: no proxy
    QString ProxyPort;
    qint64 ModifiedSince = 0;  // seconds since 1970; 0 sends no condition
    QIODevice* RcvdStream = nullptr;  // the body is written here between DocBegin and DocEnd

    // Returns when the request has ended; throws RequestFailed when it failed. A Get while one
    // runs throws at once and sends no signal. Destroying the client during Get ends that Get
    // with RequestFailed and no RequestDone.
    void Get();
    // Ends a running Get at once; it then fails.
    void Abort();

    // What the last Get ended with; kOk while none has failed.
    Error LastError() const { return error_; }
    int StatusCode() const { return status_code_; }
    QString ReasonPhrase() const { return reason_phrase_; }
    QStringList RcvdHeader() const { return header_lines_; }
    // The last part of URL's path, safe as a file name in the working folder; else "index.html".
    QString DocName() const;
    // The charset the reply's Content-Type declares, empty when it declares none.
    QString DocCharset() const;

    static constexpr qint64 kMaxBody = 1024 * 1024;
    static constexpr qint64 kMaxReply = 4 * kMaxBody;
    static constexpr int kMaxRedirects = 5;
    static constexpr int kTotalTimeFactor = 4;
    int IdleTimeoutMs = 15000;

signals:
    // Comes right before the first body byte is written, or before DocEnd when the body is empty;
    // never for a status of 400 or more.
    void DocBegin();
    void DocEnd();
    // Last, once per Get: 0 on success, else one of Error.
    void RequestDone(quint16 error);

private:
    void start_request();
    void send(const QUrl& url);
    void connect_socket(const QUrl& url);
    void follow(const QUrl& target);
    void on_connected();
    void on_bytes();
    void on_closed();
    void on_socket_error();
    void on_head();
    bool take_body();
    void begin_document();
    void succeed();
    void fail(Error error, const QString& detail);
    void stop_transfer();
    void drop_socket();

    QTcpSocket* socket_ = nullptr;
    std::unique_ptr<HttpReplyReader> reader_;
    QByteArray request_;
    QTimer* idle_timer_;
    QTimer* total_timer_;
    QEventLoop* loop_ = nullptr;
    bool running_ = false;
    bool ended_ = false;  // the running Get has its outcome
    bool document_begun_ = false;
    bool connected_ = false;
    qint64 body_bytes_ = 0;
    qint64 reply_bytes_ = 0;
    int redirects_ = 0;
    QString current_url_;
    Error error_ = kOk;
    QString error_message_;
    int status_code_ = 0;
    QString reason_phrase_;
    QStringList header_lines_;
    QString content_type_;
};

}  // namespace net
