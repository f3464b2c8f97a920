#include "net/http_client.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include "modal_guard.h"  // prints QString in failure messages

#include "python_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

using net::HttpClient;

constexpr int kIdleMs = 1000;
constexpr int kTotalMs = HttpClient::kTotalTimeFactor * kIdleMs;
constexpr int kQuickMs = kIdleMs / 2;  // a failure found, not waited out
constexpr int kSlackMs = 1000;
constexpr int kEarliest(int ms) { return ms * 9 / 10; }  // Qt's coarse timers may fire 5 % early
constexpr qint64 kGapLimitMs = 100;  // the longest the GUI thread may go without its events
constexpr qint64 kMemoryLimitKib = 20 * 1024;  // what a hostile reply may cost: a few MiB counted, some slack

// What one Get did, as the highscore dialog would see it.
struct Outcome {
    QStringList events;  // "DocBegin", "DocEnd", "RequestDone <error>"
    QByteArray body;
    bool threw = false;
    QString message;  // RequestFailed's
    qint64 elapsed_ms = 0;
    qint64 longest_gap_ms = 0;  // between two ticks of a 5 ms timer
    qint64 memory_growth_kib = 0;  // the process's peak resident memory over what it had before
};

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM").
qint64 status_kib(const QByteArray& name) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name + ":")) return line.mid(name.size() + 1).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Resets the peak to what is resident now (Linux: 5 into clear_refs), and returns that.
qint64 reset_peak_kib() {
    QFile clear_refs("/proc/self/clear_refs");
    if (clear_refs.open(QIODevice::WriteOnly)) clear_refs.write("5");
    return status_kib("VmRSS");
}

QString done(quint16 error) { return QString("RequestDone %1").arg(error); }

// Runs Get with the stream set on DocBegin, as the dialog does, so a byte written before
// DocBegin is lost. A watchdog aborts a Get that hangs, which then fails with kAborted.
Outcome fetch(HttpClient& client) {
    Outcome out;
    QBuffer stream(&out.body);
    QObject scope;
    QObject::connect(&client, &HttpClient::DocBegin, &scope, [&] {
        out.events << "DocBegin";
        stream.open(QIODevice::WriteOnly);
        client.RcvdStream = &stream;
    });
    QObject::connect(&client, &HttpClient::DocEnd, &scope, [&] {
        out.events << "DocEnd";
        client.RcvdStream = nullptr;
    });
    QObject::connect(&client, &HttpClient::RequestDone, &scope,
                     [&](quint16 error) { out.events << done(error); });
    QElapsedTimer clock;
    qint64 last_tick = 0;
    const auto tick = [&] {
        out.longest_gap_ms = std::max(out.longest_gap_ms, clock.elapsed() - last_tick);
        last_tick = clock.elapsed();
    };
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, tick);
    ticker.start(5);
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] { client.Abort(); });
    watchdog.start(3 * kTotalMs);
    const qint64 resident_before = reset_peak_kib();
    clock.start();
    try {
        client.Get();
    } catch (const net::RequestFailed& failed) {
        out.threw = true;
        out.message = failed.what();
    }
    tick();
    out.elapsed_ms = clock.elapsed();
    out.memory_growth_kib = status_kib("VmHWM") - resident_before;
    client.RcvdStream = nullptr;
    return out;
}

template <typename Case>
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    std::string name = info.param.name;
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

// The page server, one per test suite; it ends when its standard input closes.
class Http : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new PythonServer(QUORVEL_NET_TEST_DIR "/page_server.py");
        port = server->port();
        // What the first fetch of a process loads once (the socket and TLS libraries) is not what
        // a hostile reply costs.
        HttpClient first;
        first.URL = url("/hsc/regular_hsc.html");
        first.Get();
    }
    static void TearDownTestSuite() { delete server; }
    void SetUp() override {
        ASSERT_GT(port, 0) << "the page server did not start";
        client.IdleTimeoutMs = kIdleMs;
    }
    static QString url(const QString& path) { return QString("http://127.0.0.1:%1%2").arg(port).arg(path); }

    static inline PythonServer* server = nullptr;
    static inline int port = 0;
    HttpClient client;
};

struct PageCase {
    const char* name;
    const char* path;
    QString charset;
    QByteArray body;
    QString doc_name;
};

class Pages : public Http, public ::testing::WithParamInterface<PageCase> {};

const QByteArray kLatin1Page = QString("<html>ä ß é</html>").toLatin1();
const QByteArray kUtf8Page = QString("<html>ä ß é</html>").toUtf8();

INSTANTIATE_TEST_SUITE_P(Http, Pages, ::testing::Values(
    PageCase{"no charset", "/hsc/regular_hsc.html", "", kLatin1Page, "regular_hsc.html"},
    PageCase{"iso-8859-1", "/hsc/regular_hsc.html?charset=iso-8859-1", "iso-8859-1", kLatin1Page, "regular_hsc.html"},
    PageCase{"quoted upper-case utf-8", "/hsc/year.htm?charset=utf-8", "utf-8", kUtf8Page, "year.htm"},
    PageCase{"after five redirects", "/redirect/5", "", kLatin1Page, "5"}),
    case_name<PageCase>);

TEST_P(Pages, ArriveWithTheirEventsInOrderAndTheHeadOfTheLastReply) {
    client.URL = url(GetParam().path);
    const Outcome out = fetch(client);
    EXPECT_FALSE(out.threw) << out.message.toStdString();
    EXPECT_EQ(out.events, QStringList({"DocBegin", "DocEnd", done(HttpClient::kOk)}));
    EXPECT_EQ(out.body, GetParam().body);
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.ReasonPhrase(), "OK");
    EXPECT_TRUE(client.RcvdHeader().contains(QString("Content-Length: %1").arg(out.body.size())));
    EXPECT_TRUE(client.RcvdHeader().filter("Location", Qt::CaseInsensitive).isEmpty()) << "a redirect's header";
    EXPECT_EQ(client.DocName(), GetParam().doc_name);
    EXPECT_EQ(client.DocCharset(), GetParam().charset);
    EXPECT_LT(out.longest_gap_ms, kGapLimitMs);
}

struct FailureCase {
    const char* name;
    const char* address;  // a path on the page server, or a whole URL; {closed} is a port nobody listens on
    quint16 error;
    int status;
    bool begins;  // DocBegin comes: the body had started
    int min_ms = 0;
    int max_ms = kQuickMs;
};

class Failures : public Http, public ::testing::WithParamInterface<FailureCase> {
protected:
    static QString closed_port() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return QString::number(probe.serverPort());
    }
};

INSTANTIATE_TEST_SUITE_P(Http, Failures, ::testing::Values(
    FailureCase{"404 with a body", "/missing", HttpClient::kHttpStatus, 404, false},
    FailureCase{"six redirects", "/redirect/6", HttpClient::kBadRedirect, 302, false},
    FailureCase{"redirect to ftp", "/bad-redirect?to=ftp://127.0.0.1/x", HttpClient::kBadRedirect, 302, false},
    FailureCase{"redirect to a file", "/bad-redirect?to=file:///etc/passwd", HttpClient::kBadRedirect, 302, false},
    FailureCase{"refused connection", "http://127.0.0.1:{closed}/", HttpClient::kNoConnection, 0, false},
    FailureCase{"not a web address", "ftp://127.0.0.1/x", HttpClient::kBadUrl, 0, false},
    FailureCase{"announced 2 MB", "/huge-length", HttpClient::kTooLarge, 200, false},
    FailureCase{"endless body", "/endless", HttpClient::kTooLarge, 200, true},
    FailureCase{"endless chunked body", "/endless-chunked", HttpClient::kTooLarge, 200, true},
    FailureCase{"gzip, which was not asked for", "/gzip", HttpClient::kBrokenReply, 200, false},
    FailureCase{"a byte every half second", "/drip", HttpClient::kTimeout, 200, true, kEarliest(kTotalMs), kTotalMs + kSlackMs},
    FailureCase{"accepts and never replies", "/silent", HttpClient::kTimeout, 0, false, kEarliest(kIdleMs), kIdleMs + kSlackMs},
    FailureCase{"garbage for a status line", "/garbage", HttpClient::kBrokenReply, 0, false},
    FailureCase{"dropped within the headers", "/half-headers", HttpClient::kBrokenReply, 0, false},
    FailureCase{"dropped within the body", "/cut-body", HttpClient::kBrokenReply, 200, true},
    FailureCase{"10 MB header line", "/long-header", HttpClient::kTooLarge, 0, false},
    FailureCase{"endless header line", "/endless-header-line", HttpClient::kTooLarge, 0, false},
    FailureCase{"endless header lines", "/endless-header-lines", HttpClient::kTooLarge, 0, false},
    FailureCase{"status 999", "/status/999", HttpClient::kBrokenReply, 999, false},
    FailureCase{"status -5", "/status/-5", HttpClient::kBrokenReply, -5, false}),
    case_name<FailureCase>);

TEST_P(Failures, EndInTimeWithOneErrorAndNoPageWhileTheGuiRuns) {
    const QString address = GetParam().address;
    client.URL = address.startsWith('/') ? url(address) : QString(address).replace("{closed}", closed_port());
    const Outcome out = fetch(client);
    EXPECT_TRUE(out.message.startsWith("Fetching " + client.URL + " failed: ")) << out.message.toStdString();
    EXPECT_EQ(out.events.filter("RequestDone"), QStringList{done(GetParam().error)});
    EXPECT_EQ(out.events.last(), done(GetParam().error));
    EXPECT_EQ(out.events.contains("DocBegin"), GetParam().begins);
    EXPECT_FALSE(out.events.contains("DocEnd"));
    EXPECT_EQ(client.StatusCode(), GetParam().status);
    EXPECT_LE(out.body.size(), HttpClient::kMaxBody);
    EXPECT_GE(out.elapsed_ms, GetParam().min_ms);
    EXPECT_LT(out.elapsed_ms, GetParam().max_ms);
    EXPECT_LT(out.longest_gap_ms, kGapLimitMs);
    EXPECT_LT(out.memory_growth_kib, kMemoryLimitKib);
}

TEST_F(Http, ModifiedSinceAndProxyShapeTheRequest) {
    client.URL = url("/echo");
    EXPECT_FALSE(fetch(client).body.contains("If-Modified-Since"));
    client.ModifiedSince = 784111777;
    EXPECT_TRUE(fetch(client).body.contains("\nIf-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT"));

    client.URL = "http://quorvel.invalid/echo";  // only the proxy knows where that is
    client.Proxy = "127.0.0.1";
    client.ProxyPort = QString::number(port);
    EXPECT_TRUE(fetch(client).body.startsWith("GET http://quorvel.invalid/echo HTTP/1.1\n"));
    client.ProxyPort = "eighty";
    EXPECT_EQ(fetch(client).events, QStringList{done(HttpClient::kBadUrl)});
}

TEST_F(Http, TheBodyGoesNowhereWithoutAStreamAndAStreamThatRefusesItFailsTheGet) {
    client.URL = url("/hsc/regular_hsc.html");
    client.Get();
    QBuffer closed;  // every write fails, as on a full disk
    QObject::connect(&client, &HttpClient::DocBegin, &client, [&] { client.RcvdStream = &closed; });
    quint16 error = HttpClient::kOk;
    QObject::connect(&client, &HttpClient::RequestDone, &client, [&](quint16 e) { error = e; });
    EXPECT_THROW(client.Get(), net::RequestFailed);
    EXPECT_EQ(error, HttpClient::kStreamFailed);
}

TEST_F(Http, AbortIsHarmlessWhenIdleAndEndsARunningGetAtOnce) {
    client.Abort();
    client.URL = url("/hsc/regular_hsc.html");
    EXPECT_FALSE(fetch(client).threw);

    client.URL = url("/silent");
    QTimer::singleShot(100, &client, &HttpClient::Abort);
    const Outcome out = fetch(client);
    EXPECT_TRUE(out.threw);
    EXPECT_EQ(out.events, QStringList{done(HttpClient::kAborted)});
    EXPECT_LT(out.elapsed_ms, kQuickMs);
}

TEST_F(Http, AGetWhileOneRunsThrowsAndLeavesTheFirstAlone) {
    client.URL = url("/hsc/regular_hsc.html");
    int refused = 0;
    QObject::connect(&client, &HttpClient::DocBegin, &client, [&] {
        try {
            client.Get();
        } catch (const net::RequestFailed&) {
            ++refused;
        }
    });
    const Outcome out = fetch(client);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(out.events, QStringList({"DocBegin", "DocEnd", done(HttpClient::kOk)}));
    EXPECT_EQ(out.body, kLatin1Page);
}

TEST_F(Http, QuittingTheApplicationEndsAGetInsideItsLoop) {
    client.URL = url("/silent");
    Outcome out;
    QTimer::singleShot(0, &client, [&] { out = fetch(client); });
    QTimer::singleShot(100, &client, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_TRUE(out.threw);
    EXPECT_EQ(out.events, QStringList{done(HttpClient::kAborted)});
    EXPECT_LT(out.elapsed_ms, kQuickMs);
}

TEST_F(Http, DestroyingTheClientDuringGetEndsIt) {
    auto* doomed = new HttpClient;
    const QPointer<HttpClient> watch(doomed);
    doomed->URL = url("/silent");
    QTimer::singleShot(100, [doomed] { delete doomed; });
    EXPECT_THROW(doomed->Get(), net::RequestFailed);
    EXPECT_TRUE(watch.isNull());
}

struct NameCase {
    const char* name;
    QString url;
    QString doc_name;
};

class DocNames : public ::testing::TestWithParam<NameCase> {};

INSTANTIATE_TEST_SUITE_P(Http, DocNames, ::testing::Values(
    NameCase{"last path part", "http://h/hsc/2024/regular_hsc.html?x=1", "regular_hsc.html"},
    NameCase{"folder", "http://h/hsc/", "index.html"},
    NameCase{"dot dot", "http://h/hsc/%2e%2E", "index.html"},
    NameCase{"encoded slashes", "http://h/..%2F..%2Fposted.txt", "posted.txt"},
    NameCase{"hidden file", "http://h/.config", "index.html"},
    NameCase{"control character", "http://h/a%0Ab.html", "index.html"},
    NameCase{"too long", "http://h/" + QString(256, 'a'), "index.html"}),
    case_name<NameCase>);

TEST_P(DocNames, AreSafeFileNamesInTheWorkingFolder) {
    HttpClient client;
    client.URL = GetParam().url;
    EXPECT_EQ(client.DocName(), GetParam().doc_name);
}

}  // namespace
