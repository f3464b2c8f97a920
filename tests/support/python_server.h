#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// A test server written in Python, started with Debian's own interpreter (a pyenv shim would not
// see Debian's aiosmtpd). The script prints its port as its first line (a server with several
// ports prints them all there, blanks between) and ends when its standard input closes; the
// destructor closes it, or kills the script when it lingers.
class PythonServer {
public:
    PythonServer(const QString& script, const QStringList& arguments = {});
    ~PythonServer();
    PythonServer(const PythonServer&) = delete;
    PythonServer& operator=(const PythonServer&) = delete;

    // The first line's numbers in order; 0 when the server did not start within ten seconds.
    int port(int index = 0) const { return ports_.value(index); }
    QString address() const { return "http://127.0.0.1:" + QString::number(port()); }

private:
    QProcess process_;
    QList<int> ports_;
};

// The longest time the GUI thread went without handling its events, as a 5 ms timer sees it.
class EventGapWatch {
public:
    EventGapWatch();
    ~EventGapWatch();
    EventGapWatch(const EventGapWatch&) = delete;
    EventGapWatch& operator=(const EventGapWatch&) = delete;

    qint64 longest_gap_ms() const;

private:
    struct Ticks;
    std::unique_ptr<Ticks> ticks_;
};
