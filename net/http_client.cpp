#include "net/http_client.h"

#include <QDateTime>
#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <optional>

namespace net {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;  // read at a time, and what Qt buffers ahead of us
constexpr int kMaxNameBytes = 255;         // the longest file name Linux file systems take

bool is_web_address(const QUrl& url) {
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") && !url.host().isEmpty();
}

// No proxy when the host is empty; nothing when the port is no port number.
std::optional<QNetworkProxy> proxy_for(const QString& host, const QString& port) {
    if (host.isEmpty()) return QNetworkProxy(QNetworkProxy::NoProxy);
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    if (!ok || number == 0 || number > 65535) return std::nullopt;
    return QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(number));
}

QNetworkRequest request_for(const QUrl& url, qint64 modified_since) {
    QNetworkRequest request(url);
    // We follow redirects ourselves: Qt 6.4 loses the reply after a second user-verified one, and
    // when Qt follows them the final reply's headers can come merged with a redirect's.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (modified_since > 0)
        request.setHeader(QNetworkRequest::IfModifiedSinceHeader,
                          QDateTime::fromSecsSinceEpoch(modified_since, Qt::UTC));
    return request;
}

bool is_redirect(int status_code) {
    return status_code == 301 || status_code == 302 || status_code == 303 || status_code == 307 ||
           status_code == 308;
}

HttpClient::Error error_for(QNetworkReply::NetworkError error, int status_code) {
    switch (error) {
    case QNetworkReply::TimeoutError:
        return HttpClient::kTimeout;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        return HttpClient::kBrokenReply;
    default:
        return status_code == 0 ? HttpClient::kNoConnection : HttpClient::kBrokenReply;
    }
}

}  // namespace

HttpClient::HttpClient(QObject* parent)
    : QObject(parent),
      manager_(new QNetworkAccessManager(this)),
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
    delete reply_;  // which aborts it; not from within one of its signals, as Get's loop has returned
    reply_ = nullptr;
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
    error_ = kOk;
    error_message_.clear();
    status_code_ = 0;
    reason_phrase_.clear();
    header_lines_.clear();
    content_type_.clear();

    const QUrl url(URL);
    if (!is_web_address(url)) return fail(kBadUrl, "it is not an http or https address");
    const std::optional<QNetworkProxy> proxy = proxy_for(Proxy, ProxyPort);
    if (!proxy) return fail(kBadUrl, QString("the proxy port \"%1\" is no port number").arg(ProxyPort));
    manager_->setProxy(*proxy);
    const int idle_ms = std::max(1, IdleTimeoutMs);
    idle_timer_->start(idle_ms);
    total_timer_->start(static_cast<int>(std::min<qint64>(qint64{kTotalTimeFactor} * idle_ms, INT_MAX)));
    send(url);
}

void HttpClient::send(const QUrl& url) {
    reply_ = manager_->get(request_for(url, ModifiedSince));
    reply_->setReadBufferSize(kChunkBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &HttpClient::on_head);
    connect(reply_, &QNetworkReply::readyRead, this, &HttpClient::on_body);
    connect(reply_, &QNetworkReply::finished, this, &HttpClient::on_finished);
}

void HttpClient::follow(const QUrl& target) {
    if (++redirects_ > kMaxRedirects)
        return fail(kBadRedirect, QString("it was redirected more than %1 times").arg(kMaxRedirects));
    if (!is_web_address(target))
        return fail(kBadRedirect, "it was redirected to something other than an http or https address");
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();  // we are in one of its signals
    send(target);
}

void HttpClient::take_reply_head() {
    status_code_ = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reason_phrase_ = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    header_lines_.clear();
    for (const QNetworkReply::RawHeaderPair& header : reply_->rawHeaderPairs())
        header_lines_ << QString::fromLatin1(header.first + ": " + header.second);
    content_type_ = QString::fromLatin1(reply_->rawHeader("Content-Type"));
}

void HttpClient::on_head() {
    idle_timer_->start();
    take_reply_head();
    const QString status = QString("the server answered %1 %2").arg(status_code_).arg(reason_phrase_);
    if (status_code_ < 100 || status_code_ > 599)
        return fail(kBrokenReply, status + ", which is no HTTP status");
    if (status_code_ >= 400) return fail(kHttpStatus, status);
    const QByteArray location = reply_->rawHeader("Location");
    if (is_redirect(status_code_) && !location.isEmpty())
        return follow(reply_->url().resolved(QUrl(QString::fromUtf8(location))));
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxBody)
        fail(kTooLarge, QString("it announced %1 bytes, more than %2").arg(length.toString()).arg(kMaxBody));
}

void HttpClient::on_body() {
    idle_timer_->start();
    while (!ended_ && reply_->bytesAvailable() > 0) {
        const QByteArray chunk = reply_->read(kChunkBytes);
        if (body_bytes_ + chunk.size() > kMaxBody)
            return fail(kTooLarge, QString("its body is longer than %1 bytes").arg(kMaxBody));
        body_bytes_ += chunk.size();
        begin_document();
        if (ended_) return;  // the DocBegin handler aborted
        if (RcvdStream && RcvdStream->write(chunk) != chunk.size())
            return fail(kStreamFailed, "the page could not be stored: " + RcvdStream->errorString());
    }
}

void HttpClient::on_finished() {
    if (reply_->error() != QNetworkReply::NoError)
        return fail(error_for(reply_->error(), status_code_), reply_->errorString());
    on_body();
    if (!ended_) begin_document();  // the body was empty
    if (!ended_) succeed();
}

void HttpClient::begin_document() {
    if (document_begun_) return;
    document_begun_ = true;
    emit DocBegin();
}

void HttpClient::succeed() {
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

void HttpClient::stop_transfer() {
    idle_timer_->stop();
    total_timer_->stop();
    if (reply_) reply_->disconnect(this);
    if (loop_) loop_->quit();
}

}  // namespace net
