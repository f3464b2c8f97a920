#include "net/http_client.h"

#include "net/http_reply_reader.h"

#include <QDateTime>
#include <QEventLoop>
#include <QIODevice>
#include <QLocale>
#include <QNetworkProxy>
#include <QPointer>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <optional>

namespace net {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;  // read at a time, and what the socket buffers ahead of us
constexpr int kMaxNameBytes = 255;         // the longest file name Linux file systems take

bool is_web_address(const QUrl& url) {
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") && !url.host().isEmpty();
}

struct ProxyAddress {
    QString host;  // empty: none
    quint16 port = 0;
};

// No proxy when the host is empty; nothing when the port is no port number.
std::optional<ProxyAddress> proxy_for(const QString& host, const QString& port) {
    if (host.isEmpty()) return ProxyAddress{};
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    if (!ok || number == 0 || number > 65535) return std::nullopt;
    return ProxyAddress{host, static_cast<quint16>(number)};
}

quint16 port_of(const QUrl& url) { return static_cast<quint16>(url.port(url.scheme() == "https" ? 443 : 80)); }

// A plain http request through a proxy names the whole address; everything else only the path.
QByteArray request_for(const QUrl& url, qint64 modified_since, bool through_proxy) {
    const QByteArray target = through_proxy && url.scheme() == "http"
                                  ? url.toEncoded(QUrl::RemoveFragment)
                                  : url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':')) host = "[" + host + "]";
    if (url.port() != -1) host += ":" + QByteArray::number(url.port());
    QByteArray request = "GET " + (target.isEmpty() ? QByteArray("/") : target) + " HTTP/1.1\r\nHost: " + host +
                         "\r\nUser-Agent: Quorvel\r\nAccept: */*\r\nAccept-Encoding: identity\r\nConnection: close\r\n";
    if (modified_since > 0) {
        const QDateTime when = QDateTime::fromSecsSinceEpoch(modified_since, Qt::UTC);
        request += "If-Modified-Since: " + QLocale::c().toString(when, "ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1() + "\r\n";
    }
    return request + "\r\n";
}

bool is_redirect(int status_code) {
    return status_code == 301 || status_code == 302 || status_code == 303 || status_code == 307 ||
           status_code == 308;
}

}  // namespace

HttpClient::HttpClient(QObject* parent)
    : QObject(parent),
      idle_timer_(new QTimer(this)),
      total_timer_(new QTimer(this)) {
    idle_timer_->setSingleShot(true);
    total_timer_->setSingleShot(true);
    connect(idle_timer_, &QTimer::timeout, this, [this] {
        fail(kTimeout, QString("no data came for %1 ms").arg(idle_timer_->interval()));
    });
    connect(total_timer_, &QTimer::timeout, this, [this] {
        fail(kTimeout, QString("it took longer than %1 ms").arg(total_timer_->interval()));
    });
}

HttpClient::~HttpClient() {
    // A Get below us on the stack sees us gone when its loop returns.
    if (loop_) loop_->quit();
    drop_socket();
}

void HttpClient::Get() {
    if (running_) throw RequestFailed("A download is running already; a second one cannot start.");
    start_request();
    if (!ended_) {
        const QPointer<HttpClient> alive(this);
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        if (!alive) throw RequestFailed("The download ended because its client was destroyed.");
        loop_ = nullptr;
        // Only the application quitting ends the loop before the request has its outcome.
        if (!ended_) fail(kAborted, "the program is quitting");
    }
    drop_socket();
    running_ = false;
    const Error error = error_;
    const std::string message = error_message_.toStdString();
    emit RequestDone(error);
    if (error != kOk) throw RequestFailed(message);
}

void HttpClient::Abort() {
    if (running_ && !ended_) fail(kAborted, "it was cancelled");
}

QString HttpClient::DocName() const {
    const QString name = QUrl(URL).path(QUrl::FullyDecoded).section('/', -1);
    const bool safe = !name.isEmpty() && !name.startsWith('.') && name.toUtf8().size() <= kMaxNameBytes &&
                      std::all_of(name.begin(), name.end(), [](QChar c) { return c.isPrint(); });
    return safe ? name : QStringLiteral("index.html");
}

QString HttpClient::DocCharset() const {
    const QStringList parameters = content_type_.split(';');
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QString name = parameters[i].section('=', 0, 0).trimmed();
        if (name.compare("charset", Qt::CaseInsensitive) != 0) continue;
        QString value = parameters[i].section('=', 1);
        return value.remove('"').remove('\'').trimmed().toLower();
    }
    return {};
}

void HttpClient::start_request() {
    running_ = true;
    ended_ = false;
    document_begun_ = false;
    body_bytes_ = 0;
    redirects_ = 0;
    current_url_ = URL;
    error_ = kOk;
    error_message_.clear();
    status_code_ = 0;
    reason_phrase_.clear();
    header_lines_.clear();
    content_type_.clear();

    const QUrl url(URL);
    if (!is_web_address(url)) return fail(kBadUrl, "it is not an http or https address");
    if (!proxy_for(Proxy, ProxyPort))
        return fail(kBadUrl, QString("the proxy port \"%1\" is no port number").arg(ProxyPort));
    const int idle_ms = std::max(1, IdleTimeoutMs);
    idle_timer_->start(idle_ms);
    total_timer_->start(static_cast<int>(std::min<qint64>(qint64{kTotalTimeFactor} * idle_ms, INT_MAX)));
    send(url);
}

void HttpClient::send(const QUrl& url) {
    current_url_ = url.toString();
    reader_ = std::make_unique<HttpReplyReader>();
    reply_bytes_ = 0;
    connected_ = false;
    status_code_ = 0;
    reason_phrase_.clear();
    header_lines_.clear();
    content_type_.clear();
    request_ = request_for(url, ModifiedSince, !Proxy.isEmpty());
    connect_socket(url);
}

// A plain http request goes to the proxy itself; https goes through the proxy's tunnel.
void HttpClient::connect_socket(const QUrl& url) {
    const ProxyAddress proxy = *proxy_for(Proxy, ProxyPort);
    const bool secure = url.scheme() == "https";
    QSslSocket* socket = new QSslSocket(this);
    socket_ = socket;
    socket->setReadBufferSize(kChunkBytes);
    socket->setProxy(secure && !proxy.host.isEmpty() ? QNetworkProxy(QNetworkProxy::HttpProxy, proxy.host, proxy.port)
                                                     : QNetworkProxy(QNetworkProxy::NoProxy));
    connect(socket, secure ? &QSslSocket::encrypted : &QSslSocket::connected, this, &HttpClient::on_connected);
    connect(socket, &QSslSocket::readyRead, this, &HttpClient::on_bytes);
    connect(socket, &QSslSocket::disconnected, this, &HttpClient::on_closed);
    connect(socket, &QSslSocket::errorOccurred, this, &HttpClient::on_socket_error);
    if (secure)
        socket->connectToHostEncrypted(url.host(), port_of(url));
    else if (!proxy.host.isEmpty())
        socket->connectToHost(proxy.host, proxy.port);
    else
        socket->connectToHost(url.host(), port_of(url));
}

void HttpClient::follow(const QUrl& target) {
    if (++redirects_ > kMaxRedirects)
        return fail(kBadRedirect, QString("it was redirected more than %1 times").arg(kMaxRedirects));
    if (!is_web_address(target))
        return fail(kBadRedirect, "it was redirected to something other than an http or https address");
    drop_socket();
    send(target);
}

void HttpClient::on_connected() {
    connected_ = true;
    idle_timer_->start();
    socket_->write(request_);
}

// Every byte is counted as it comes: a server that sends a head or a body without end is cut off
// at the limits, whichever part it pads.
void HttpClient::on_bytes() {
    idle_timer_->start();
    while (!ended_ && socket_ && socket_->bytesAvailable() > 0) {
        const QTcpSocket* const socket = socket_;
        const QByteArray bytes = socket_->read(std::min(kChunkBytes, socket_->bytesAvailable()));
        reply_bytes_ += bytes.size();
        if (reply_bytes_ > kMaxReply)
            return fail(kTooLarge, QString("its reply is longer than %1 bytes").arg(kMaxReply));
        const bool head_before = reader_->head_complete();
        const bool ok = reader_->feed(bytes);
        if (!head_before && reader_->head_complete()) {
            on_head();
            if (ended_ || socket_ != socket) return;  // failed, or following a redirect
        }
        if (!ok) return fail(reader_->failure() == HttpReplyReader::Failure::TooLarge ? kTooLarge : kBrokenReply,
                             reader_->problem());
        if (!take_body()) return;
        if (reader_->finished()) return succeed();
    }
}

void HttpClient::on_closed() {
    const QTcpSocket* const socket = socket_;
    on_bytes();  // what the socket still holds
    if (ended_ || socket_ != socket) return;
    if (!reader_->close()) return fail(kBrokenReply, reader_->problem());
    if (!take_body()) return;
    succeed();
}

void HttpClient::on_socket_error() {
    if (ended_ || !socket_) return;
    if (socket_->error() == QAbstractSocket::RemoteHostClosedError) return;  // disconnected follows
    fail(connected_ ? kBrokenReply : kNoConnection, socket_->errorString());
}

void HttpClient::on_head() {
    const HttpHead& head = reader_->head();
    status_code_ = head.status;
    reason_phrase_ = QString::fromLatin1(head.reason);
    for (const auto& [name, value] : head.fields) header_lines_ << QString::fromLatin1(name + ": " + value);
    content_type_ = QString::fromLatin1(head.field("Content-Type"));
    const QString status = QString("the server answered %1 %2").arg(status_code_).arg(reason_phrase_);
    if (status_code_ < 100 || status_code_ > 599)
        return fail(kBrokenReply, status + ", which is no HTTP status");
    if (status_code_ >= 400) return fail(kHttpStatus, status);
    const QByteArray location = head.field("Location");
    if (is_redirect(status_code_) && !location.isEmpty())
        return follow(QUrl(current_url_).resolved(QUrl(QString::fromUtf8(location))));
    const QByteArray encoding = head.field("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return fail(kBrokenReply, "it came compressed (" + QString::fromLatin1(encoding) + "), which was not asked for");
    const QByteArray length = head.field("Content-Length");
    if (!length.isEmpty() && length.toLongLong() > kMaxBody)
        fail(kTooLarge, QString("it announced %1 bytes, more than %2").arg(QString::fromLatin1(length)).arg(kMaxBody));
}

// False once the Get has ended: too large, refused by the stream, or aborted by DocBegin's handler.
bool HttpClient::take_body() {
    const QByteArray chunk = reader_->take_body();
    if (chunk.isEmpty()) return true;
    if (body_bytes_ + chunk.size() > kMaxBody) {
        fail(kTooLarge, QString("its body is longer than %1 bytes").arg(kMaxBody));
        return false;
    }
    body_bytes_ += chunk.size();
    begin_document();
    if (ended_) return false;
    if (RcvdStream && RcvdStream->write(chunk) != chunk.size()) {
        fail(kStreamFailed, "the page could not be stored: " + RcvdStream->errorString());
        return false;
    }
    return true;
}

void HttpClient::begin_document() {
    if (document_begun_) return;
    document_begun_ = true;
    emit DocBegin();
}

void HttpClient::succeed() {
    begin_document();  // the body may be empty
    if (ended_) return;
    ended_ = true;
    stop_transfer();
    emit DocEnd();
}

void HttpClient::fail(Error error, const QString& detail) {
    ended_ = true;
    error_ = error;
    error_message_ = QString("Fetching %1 failed: %2.").arg(URL, detail);
    stop_transfer();
}

// The connection closes at once; the socket goes once no signal of its own is on the stack.
void HttpClient::stop_transfer() {
    idle_timer_->stop();
    total_timer_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
    if (loop_) loop_->quit();
}

void HttpClient::drop_socket() {
    if (!socket_) return;
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

}  // namespace net
