#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a call of `on_signal` on the GUI thread. The signal
// handler only writes the signal's number into a pipe; the event loop reads it from there.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void(int signal)> on_signal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void read_signal();

    std::function<void(int)> on_signal_;
    QSocketNotifier* notifier_ = nullptr;
};
