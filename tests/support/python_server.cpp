#include "python_server.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

PythonServer::PythonServer(const QString& script, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PYTHONUNBUFFERED", "1");
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("/usr/bin/python3", QStringList{script} + arguments);
    QElapsedTimer waited;
    waited.start();
    while (!process_.canReadLine() && waited.elapsed() < 10000) process_.waitForReadyRead(100);
    for (const QByteArray& number : process_.readLine().simplified().split(' ')) ports_.append(number.toInt());
}

PythonServer::~PythonServer() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(1000);
    }
}

struct EventGapWatch::Ticks {
    QTimer timer;
    QElapsedTimer since_tick;
    qint64 longest = 0;
};

EventGapWatch::EventGapWatch() : ticks_(std::make_unique<Ticks>()) {
    ticks_->since_tick.start();
    ticks_->timer.setInterval(5);
    QObject::connect(&ticks_->timer, &QTimer::timeout,
                     [t = ticks_.get()] { t->longest = std::max(t->longest, t->since_tick.restart()); });
    ticks_->timer.start();
}

EventGapWatch::~EventGapWatch() = default;

qint64 EventGapWatch::longest_gap_ms() const {
    return std::max(ticks_->longest, ticks_->since_tick.elapsed());
}
