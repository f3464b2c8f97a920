#include "net/smtp_client.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "python_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace {

using net::SmtpClient;
using Kind = SmtpClient::RequestType;

constexpr int kTestReplyTimeoutMs = 1000;
// The longest the GUI thread may go without handling its events.
constexpr qint64 kMaxEventGapMs = 100;
constexpr auto kByName = [](const auto& info) { return std::string(info.param.name); };

// One of the Python servers beside this file.
class PyServer : public PythonServer {
public:
    PyServer(const QString& script, const QStringList& arguments)
        : PythonServer(QUORVEL_NET_TEST_DIR "/" + script, arguments) {}
    QString port() const { return QString::number(PythonServer::port()); }
};

using Done = std::pair<Kind, quint16>;

// What the client tells, and a body handed out through GetData as the highscore dialog does.
struct Events {
    explicit Events(SmtpClient& client) {
        QObject::connect(&client, &SmtpClient::Display, &client, [this](const QString& m) { shown << m; });
        QObject::connect(&client, &SmtpClient::RequestDone, &client,
                         [this](Kind kind, quint16 error) { done.append({kind, error}); });
        QObject::connect(&client, &SmtpClient::GetData, &client, [this](int n, QString& line, int max_len, bool& more) {
            asked << n;
            asked_max_len = max_len;
            if (endless_body) return;
            if (n > body.size()) more = false;
            else line = body[n - 1];
        });
    }
    QStringList shown;
    QList<Done> done;
    QList<int> asked;
    int asked_max_len = 0;
    QStringList body{"a line"};
    bool endless_body = false;
};

// How long this thread has waited for a CPU so far, in ms: the machine's load, which no blocking
// call of ours causes. 0 where the kernel does not tell.
qint64 cpu_wait_ms() {
    QFile stats("/proc/thread-self/schedstat");
    if (!stats.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = stats.readAll().split(' ');
    return fields.size() >= 2 ? fields[1].toLongLong() / 1000000 : 0;
}

// Runs the event loop, calling start first, until done() or the deadline. Returns the longest
// pause between two ticks of a 5 ms timer, less the time spent waiting for a CPU (parallel tests
// on a loaded machine): how long the GUI thread kept itself from its events.
qint64 run_until(const std::function<void()>& start, const std::function<bool()>& done, int deadline_ms = 5000) {
    QEventLoop loop;
    QTimer tick;
    QElapsedTimer since_tick;
    QElapsedTimer total;
    qint64 longest_gap = 0;
    qint64 cpu_wait = cpu_wait_ms();
    bool started = false;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 cpu_wait_now = cpu_wait_ms();
        const qint64 waited = cpu_wait_now - std::exchange(cpu_wait, cpu_wait_now);
        longest_gap = std::max(longest_gap, since_tick.restart() - waited);
        if (!std::exchange(started, true)) start();
        if (done() || total.elapsed() > deadline_ms) loop.quit();
    });
    tick.start(5);
    since_tick.start();
    total.start();
    loop.exec();
    return longest_gap;
}

void wait_ms(int ms) {
    run_until([] {}, [] { return false; }, ms);
}

std::unique_ptr<SmtpClient> client_for(const QString& port) {
    auto client = std::make_unique<SmtpClient>();
    client->Host = "127.0.0.1";
    client->Port = port;
    client->SignOn = "quorvel";
    client->FromName = "player@example.org";
    client->RcptName = QStringList{"first@example.org", "second@example.org"};
    client->HdrFrom = "Jürgen <player@example.org>";
    client->HdrTo = "first@example.org";
    client->HdrSubject = "Highscore ä€";
    client->ReplyTimeoutMs = kTestReplyTimeoutMs;
    return client;
}

void open_session(SmtpClient& client, const Events& events) {
    run_until([&] { client.Open(); }, [&] { return !events.done.isEmpty(); });
    ASSERT_EQ(events.done, (QList<Done>{{Kind::Connect, 0}}));
}

// Mails as the highscore dialog does: Open, Mail once connected, Quit once accepted.
void chain_like_the_dialog(SmtpClient& client) {
    QObject::connect(&client, &SmtpClient::RequestDone, &client, [&client](Kind kind, quint16 error) {
        if (kind == Kind::Connect && error == 0) client.Mail();
        if (kind == Kind::Mail && error == 0) client.Quit();
    });
}

QList<QJsonObject> stored_messages(const QTemporaryDir& folder) {
    QList<QJsonObject> messages;
    for (const QString& name : QDir(folder.path()).entryList({"*.json"}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly)) messages << QJsonDocument::fromJson(file.readAll()).object();
    }
    return messages;
}

void expect_date_is_now(const QByteArray& header, const QDateTime& before, const QDateTime& after) {
    static const QRegularExpression format(
        "^Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [1-9]\\d? (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "\\d{4} \\d\\d:\\d\\d:\\d\\d$");
    const QString text = QString::fromLatin1(header);
    ASSERT_TRUE(format.match(text).hasMatch()) << text.toStdString();
    const QDateTime sent = QLocale::c().toDateTime(text.mid(6), "ddd, d MMM yyyy hh:mm:ss");
    EXPECT_GE(sent, before.addSecs(-1));
    EXPECT_LE(sent, after.addSecs(1));
}

struct RoundTripCase {
    const char* name;
    QStringList collector_options;
    const char* greeting_command;  // what the session was opened with
};

class SmtpRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SmtpRoundTrip, TheCollectorReceivesTheMessageByteForByte) {
    // Day and month names must stay English whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir folder;
    PyServer collector("mail_collector.py", QStringList{folder.path()} + GetParam().collector_options);
    auto client = client_for(collector.port());
    Events events(*client);
    const QString long_line = "." + QString(1500, u'x');
    events.body = QStringList{"Jürgen ä ß é", "€ and 😀", ".", ".hidden", "one\r\ntwo", "", long_line};
    chain_like_the_dialog(*client);

    const QDateTime before = QDateTime::currentDateTime();
    const qint64 gap = run_until([&] { client->Open(); }, [&] { return events.done.size() >= 3; });
    const QDateTime after = QDateTime::currentDateTime();
    QLocale::setDefault(QLocale::c());

    EXPECT_EQ(events.done, (QList<Done>{{Kind::Connect, 0}, {Kind::Mail, 0}, {Kind::Quit, 0}}));
    EXPECT_LT(gap, kMaxEventGapMs);
    const QList<QJsonObject> messages = stored_messages(folder);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0]["from"].toString(), "player@example.org");
    EXPECT_EQ(messages[0]["to"].toArray(), (QJsonArray{"first@example.org", "second@example.org"}));

    const QByteArray data = QByteArray::fromHex(messages[0]["data"].toString().toLatin1());
    EXPECT_EQ(data.count('\n'), data.count("\r\n"));
    EXPECT_EQ(data.count('\r'), data.count("\r\n"));
    QList<QByteArray> lines = QByteArray(data).replace("\r\n", "\n").split('\n');
    ASSERT_GT(lines.size(), 5);
    expect_date_is_now(lines.takeAt(5), before, after);
    // The line cut to MaxLen - 1 characters with its dot doubled must still fit in 1000 octets.
    EXPECT_LE(events.asked_max_len - 1 + 1 + 2, 1000);
    EXPECT_EQ(lines.join('\n'), "From: J\xfcrgen <player@example.org>\n"
                                "To: first@example.org\n"
                                "Subject: Highscore \xe4?\n"
                                "Mime-Version: 1.0\n"
                                "Content-Type: text/plain; charset=\"iso-8859-1\"\n"
                                "\n"
                                "J\xfcrgen \xe4 \xdf \xe9\n"
                                "? and ?\n"
                                ".\n"
                                ".hidden\n"
                                "one  two\n"
                                "\n" +
                                    long_line.left(events.asked_max_len - 1).toLatin1() + "\n");

    EXPECT_EQ(events.asked, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    const QString greeting = QString("> %1 quorvel").arg(GetParam().greeting_command);
    for (const QString& line : {greeting, QString("> MAIL FROM:<player@example.org>"),
                                QString("> RCPT TO:<second@example.org>"), QString("> .."), QString("> ..hidden"),
                                QString("> ."), QString("> QUIT")})
        EXPECT_TRUE(events.shown.contains(line)) << line.toStdString();
    EXPECT_EQ(events.shown.filter(QRegularExpression("^< 220 ")).size(), 1);
    EXPECT_EQ(events.shown.filter(QRegularExpression("^< 354 ")).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Greetings, SmtpRoundTrip,
                         testing::Values(RoundTripCase{"ehlo", {}, "EHLO"},
                                         RoundTripCase{"ehlo_refused_helo_used", {"--refuse-ehlo"}, "HELO"}),
                         kByName);

struct RefusalCase {
    const char* name;
    QStringList collector_options;
    bool endless_body;
    quint16 error;
};

class SmtpRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(SmtpRefusal, MailFailsNothingIsStoredAndTheSessionEnds) {
    QTemporaryDir folder;
    PyServer collector("mail_collector.py", QStringList{folder.path()} + GetParam().collector_options);
    auto client = client_for(collector.port());
    Events events(*client);
    events.endless_body = GetParam().endless_body;
    chain_like_the_dialog(*client);

    run_until([&] { client->Open(); }, [&] { return events.done.size() >= 2; });
    wait_ms(50);

    EXPECT_EQ(events.done, (QList<Done>{{Kind::Connect, 0}, {Kind::Mail, GetParam().error}}));
    EXPECT_TRUE(stored_messages(folder).isEmpty());
    EXPECT_THROW(client->Mail(), net::SmtpError);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SmtpRefusal,
    testing::Values(RefusalCase{"second_recipient_refused", {"--refuse-rcpt", "second@example.org"}, false, 550},
                    RefusalCase{"data_refused", {"--refuse-data"}, false, 554},
                    RefusalCase{"body_never_ends", {}, true, SmtpClient::kBodyTooLong}),
    kByName);

struct HostileCase {
    const char* name;  // the scenario of hostile_smtp.py
    Kind request;      // Mail: after a good Open
    quint16 error;
};

class SmtpHostileServer : public testing::TestWithParam<HostileCase> {};

TEST_P(SmtpHostileServer, EndsInTimeWithoutBlockingTheGuiThread) {
    PyServer server("hostile_smtp.py", {GetParam().name});
    auto client = client_for(server.port());
    Events events(*client);
    if (GetParam().request == Kind::Mail) {
        open_session(*client, events);
        events.done.clear();
    }

    QElapsedTimer clock;
    clock.start();
    const qint64 gap = run_until([&] { GetParam().request == Kind::Mail ? client->Mail() : client->Open(); },
                                 [&] { return !events.done.isEmpty(); }, kTestReplyTimeoutMs + 3000);
    const qint64 elapsed = clock.elapsed();
    wait_ms(50);

    EXPECT_EQ(events.done, (QList<Done>{{GetParam().request, GetParam().error}}));
    EXPECT_LT(elapsed, kTestReplyTimeoutMs + 1500);
    EXPECT_LT(gap, kMaxEventGapMs);
    // What the server sent is shown short and without control characters.
    const bool tidy = std::all_of(events.shown.begin(), events.shown.end(), [](const QString& line) {
        return line.size() < 400 &&
               std::none_of(line.begin(), line.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    });
    EXPECT_TRUE(tidy);
}

const HostileCase kHostileCases[] = {
    {"nobody_listens", Kind::Connect, SmtpClient::kNoConnection},
    {"no_greeting", Kind::Connect, SmtpClient::kTimeout},
    {"drip_greeting", Kind::Connect, SmtpClient::kTimeout},
    {"garbage_greeting", Kind::Connect, SmtpClient::kProtocolError},
    {"ten_megabyte_line", Kind::Connect, SmtpClient::kReplyTooLong},  // found long before its end, not buffered
    {"endless_reply", Kind::Connect, SmtpClient::kReplyTooLong},
    {"code_999", Kind::Connect, SmtpClient::kProtocolError},
    {"code_099", Kind::Connect, SmtpClient::kProtocolError},
    {"code_25x", Kind::Connect, SmtpClient::kProtocolError},
    {"codes_differ", Kind::Connect, SmtpClient::kProtocolError},
    {"refused_greeting", Kind::Connect, 554},
    {"ehlo_refused_for_now", Kind::Connect, 421},
    {"greeting_1000_octets", Kind::Connect, 0},
    {"greeting_1001_octets", Kind::Connect, SmtpClient::kReplyTooLong},
    {"greeting_100_lines", Kind::Connect, 0},
    {"greeting_101_lines", Kind::Connect, SmtpClient::kReplyTooLong},
    {"drop_after_greeting", Kind::Connect, SmtpClient::kConnectionDropped},
    {"drop_in_data", Kind::Mail, SmtpClient::kConnectionDropped},
    {"drop_before_final_reply", Kind::Mail, SmtpClient::kConnectionDropped},
    {"silent_after_data", Kind::Mail, SmtpClient::kTimeout},
    {"bare_line_feeds", Kind::Mail, 0},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, SmtpHostileServer, testing::ValuesIn(kHostileCases), kByName);

enum class Before { Nothing, Opening, Connected, Mailing };

struct CannotStartCase {
    const char* name;
    Before before;
    void (*change)(SmtpClient&);
    void (SmtpClient::*request)();
    const char* says;  // in the message
};

class SmtpCannotStart : public testing::TestWithParam<CannotStartCase> {};

TEST_P(SmtpCannotStart, ThrowsBeforeAnyEvent) {
    const CannotStartCase& row = GetParam();
    PyServer server("hostile_smtp.py", {row.before == Before::Mailing ? "silent_after_data" : "willing"});
    auto client = client_for(server.port());
    Events events(*client);
    if (row.before == Before::Connected || row.before == Before::Mailing) open_session(*client, events);
    if (row.before == Before::Opening) client->Open();
    if (row.before == Before::Mailing) client->Mail();
    row.change(*client);
    const qsizetype shown = events.shown.size();
    const qsizetype done = events.done.size();

    try {
        (client.get()->*row.request)();
        ADD_FAILURE() << "no SmtpError";
    } catch (const net::SmtpError& error) {
        EXPECT_TRUE(QString(error.what()).contains(row.says)) << error.what();
    }
    EXPECT_EQ(events.shown.size(), shown);
    EXPECT_EQ(events.done.size(), done);
}

constexpr auto kOpen = &SmtpClient::Open;
constexpr auto kMail = &SmtpClient::Mail;
constexpr auto kQuit = &SmtpClient::Quit;
void as_is(SmtpClient&) {}

const CannotStartCase kCannotStartCases[] = {
    {"no_host", Before::Nothing, [](SmtpClient& c) { c.Host = " "; }, kOpen, "Host"},
    {"port_0", Before::Nothing, [](SmtpClient& c) { c.Port = "0"; }, kOpen, "Port"},
    {"port_65536", Before::Nothing, [](SmtpClient& c) { c.Port = "65536"; }, kOpen, "Port"},
    {"port_signed", Before::Nothing, [](SmtpClient& c) { c.Port = "+25"; }, kOpen, "Port"},
    {"unknown_service", Before::Nothing, [](SmtpClient& c) { c.Port = "gopher"; }, kOpen, "Port"},
    {"no_sign_on", Before::Nothing, [](SmtpClient& c) { c.SignOn = ""; }, kOpen, "SignOn"},
    {"sign_on_with_line_break", Before::Nothing, [](SmtpClient& c) { c.SignOn = "q\r\nQUIT"; }, kOpen, "SignOn"},
    {"mail_before_open", Before::Nothing, as_is, kMail, "Not connected"},
    {"quit_before_open", Before::Nothing, as_is, kQuit, "Not connected"},
    {"open_while_opening", Before::Opening, as_is, kOpen, "running"},
    {"mail_while_opening", Before::Opening, as_is, kMail, "running"},
    {"open_when_connected", Before::Connected, as_is, kOpen, "Already connected"},
    {"no_recipients", Before::Connected, [](SmtpClient& c) { c.RcptName.clear(); }, kMail, "RcptName"},
    {"sender_with_bracket", Before::Connected, [](SmtpClient& c) { c.FromName = "a>@b.org"; }, kMail, "FromName"},
    {"sender_with_blank", Before::Connected, [](SmtpClient& c) { c.FromName = "a@b.org SIZE=1"; }, kMail, "FromName"},
    {"sender_with_line_break", Before::Connected, [](SmtpClient& c) { c.FromName = "a@b.org\r\n"; }, kMail, "FromName"},
    {"recipient_2_with_bracket", Before::Connected, [](SmtpClient& c) { c.RcptName[1] = "<x@y"; }, kMail, "RcptName"},
    {"empty_recipient", Before::Connected, [](SmtpClient& c) { c.RcptName << ""; }, kMail, "RcptName"},
    {"subject_with_line_break", Before::Connected, [](SmtpClient& c) { c.HdrSubject = "a\r\nB"; }, kMail, "HdrSubject"},
    {"from_header_with_control", Before::Connected, [](SmtpClient& c) { c.HdrFrom = "a\x01"; }, kMail, "HdrFrom"},
    {"to_header_with_line_feed", Before::Connected, [](SmtpClient& c) { c.HdrTo = "a\nb"; }, kMail, "HdrTo"},
    {"charset_not_latin1", Before::Connected, [](SmtpClient& c) { c.CharSet = "utf-8"; }, kMail, "CharSet"},
    {"mail_while_mailing", Before::Mailing, as_is, kMail, "running"},
    {"quit_while_mailing", Before::Mailing, as_is, kQuit, "running"},
};

INSTANTIATE_TEST_SUITE_P(Requests, SmtpCannotStart, testing::ValuesIn(kCannotStartCases), kByName);

struct PortCase {
    const char* name;
    const char* port;
    const char* connecting_to;
};

class SmtpPort : public testing::TestWithParam<PortCase> {};

TEST_P(SmtpPort, IsANumberOrAServiceNameAndAbortEndsTheOpenOnce) {
    auto client = client_for(GetParam().port);
    Events events(*client);
    client->Open();
    client->Abort();
    wait_ms(50);
    EXPECT_TRUE(events.shown.contains(QString("Connecting to ") + GetParam().connecting_to));
    EXPECT_EQ(events.done, (QList<Done>{{Kind::Connect, SmtpClient::kAborted}}));
}

const PortCase kPortCases[] = {
    {"number", "2525", "127.0.0.1:2525"},     {"highest_number", "65535", "127.0.0.1:65535"},
    {"smtp", "smtp", "127.0.0.1:25"},         {"smtp_in_capitals", "SMTP", "127.0.0.1:25"},
    {"submission", "submission", "127.0.0.1:587"},
};

INSTANTIATE_TEST_SUITE_P(Ports, SmtpPort, testing::ValuesIn(kPortCases), kByName);

TEST(SmtpAbort, EndsARunningRequestOnceClosesAnIdleSessionAndDeletionTellsNothing) {
    PyServer server("hostile_smtp.py", {"silent_after_data"});
    auto client = client_for(server.port());
    Events events(*client);
    client->Abort();
    EXPECT_TRUE(events.shown.isEmpty());

    open_session(*client, events);
    client->Abort();
    EXPECT_THROW(client->Mail(), net::SmtpError);

    run_until([&] { client->Open(); }, [&] { return events.done.size() >= 2; });
    run_until([&] { client->Mail(); }, [&] { return events.shown.contains("> ."); });
    client->Abort();
    wait_ms(50);
    EXPECT_EQ(events.done, (QList<Done>{{Kind::Connect, 0}, {Kind::Connect, 0}, {Kind::Mail, SmtpClient::kAborted}}));

    run_until([&] { client->Open(); }, [&] { return events.done.size() >= 4; });
    client->Mail();
    client.reset();
    EXPECT_EQ(events.done.size(), 4);
}

}  // namespace
