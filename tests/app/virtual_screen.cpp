#include "virtual_screen.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

namespace {

constexpr int kWaitMs = 10000;

}  // namespace

// Xvfb picks a free display itself and writes its number to the descriptor -displayfd names.
VirtualScreen::VirtualScreen() {
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
    if (!server_.waitForStarted()) return;
    const QDeadlineTimer deadline(kWaitMs);
    while (!server_.canReadLine() && !deadline.hasExpired()) server_.waitForReadyRead(100);
    const QString number = QString::fromLatin1(server_.readLine()).trimmed();
    if (!number.isEmpty()) display_ = ":" + number;
}

VirtualScreen::~VirtualScreen() {
    server_.terminate();
    server_.waitForFinished();
}

bool VirtualScreen::xdotool(const QStringList& arguments, QString* output) const {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(kWaitMs) || tool.exitCode() != 0) return false;
    if (output) *output = QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
    return true;
}

QString VirtualScreen::wait_for_window(qint64 pid, const QString& title) const {
    const QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        QString found;
        if (xdotool({"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", title}, &found))
            return found.section('\n', 0, 0);
        QThread::msleep(50);
    }
    return {};
}

bool VirtualScreen::send(const QString& window, const QString& command, const QStringList& arguments) const {
    return xdotool({"windowfocus", "--sync", window}) && xdotool(QStringList{command, "--delay", "250"} + arguments);
}
