#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// An X server of the test's own (Xvfb), for driving the real program with xdotool as a player
// would: windows, keys, typed text.
class VirtualScreen {
public:
    VirtualScreen();
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    // ":N", or empty when the server did not start.
    QString display() const { return display_; }
    // Waits up to ten seconds for a visible window of process `pid` whose title matches `title`
    // (a regular expression); its id, or empty.
    QString wait_for_window(qint64 pid, const QString& title) const;
    // Gives `window` the keyboard focus and runs xdotool `command` (key, type) with `arguments`.
    bool send(const QString& window, const QString& command, const QStringList& arguments) const;

private:
    bool xdotool(const QStringList& arguments, QString* output = nullptr) const;

    QProcess server_;
    QString display_;
};
