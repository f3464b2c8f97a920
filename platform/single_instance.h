#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running game per user. The first copy holds the lock file "quorvel.lock" beside the store
// and listens on a local socket named after it; a later copy finds the lock taken, asks the first
// over the socket to bring its window to the front, and ends without touching the store.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();

    // True when another copy answers on the socket or holds the lock file (one still starting).
    // Anything else at the lock path is cleared away: a lock file no copy holds, whatever process
    // it names, or something other than a file, which is reported on stderr. What cannot be
    // removed, or a lock that cannot be taken for any other reason (an unwritable folder), lets
    // this copy run without the lock.
    bool another_copy_runs() const { return another_copy_runs_; }
    QString lock_path() const { return lock_path_; }
    // While this copy holds the lock: calls `raise` for every later copy that asks for the window.
    void serve_later_copies(std::function<void()> raise);

    static constexpr int kRaisePatienceMs = 5000;

private:
    void serve(QLocalSocket* socket);
    void read_request(QLocalSocket& socket);

    QString lock_path_;
    std::unique_ptr<QLockFile> lock_;
    bool another_copy_runs_ = false;
    std::function<void()> raise_;
    // Closed before the lock goes: a copy that takes the lock next may already listen at the same path.
    std::unique_ptr<QLocalServer> server_;
};

// The socket a copy holding `lock_path` listens on: in $XDG_RUNTIME_DIR, else the temporary folder.
QString server_path(const QString& lock_path);

// Asks the copy holding `lock_path` to bring its window to the front, retrying while it may still
// be starting; true when it answered within `patience_ms`.
bool ask_running_copy_to_raise(const QString& lock_path, int patience_ms = SingleInstance::kRaisePatienceMs);
