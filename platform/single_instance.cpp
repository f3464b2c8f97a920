#include "platform/single_instance.h"

#include "platform/registry.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

const QByteArray kRequest = "raise\n";
const QByteArray kAnswer = "raised\n";
// A later copy that has not sent its request by then is dropped.
constexpr int kServeLimitMs = 2000;
constexpr int kRetryPauseMs = 100;
constexpr int kListenCheckMs = 1000;

int remaining_ms(const QDeadlineTimer& deadline) { return static_cast<int>(deadline.remainingTime()); }

bool request_raise(QLocalSocket& socket, const QDeadlineTimer& deadline) {
    socket.write(kRequest);
    socket.flush();
    while (socket.bytesAvailable() < kAnswer.size() && socket.waitForReadyRead(remaining_ms(deadline))) {
    }
    return socket.read(kAnswer.size()) == kAnswer;
}

// A running copy accepts at once; connecting where nothing listens fails at once.
bool copy_listens(const QString& lock_path) {
    QLocalSocket socket;
    socket.connectToServer(server_path(lock_path));
    return socket.waitForConnected(kListenCheckMs);
}

QString kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISSOCK(mode)) return "a socket";
    return "a device";
}

// False when something other than a file stands at the lock path and cannot be removed. Only an
// empty folder is removed: whatever is in one is the player's.
bool clear_of_anything_but_a_file(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || S_ISREG(status.st_mode)) return true;
    const bool removed = (S_ISDIR(status.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData())) == 0;
    const QString report = removed ? "Quorvel: %1 was %2 in place of the lock file; it was removed.\n"
                                   : "Quorvel: %1 is %2 in place of the lock file and cannot be removed; "
                                     "running without the lock.\n";
    std::fputs(qPrintable(report.arg(path, kind_of(status.st_mode))), stderr);
    return removed;
}

// What stood at the lock path when the lock could not be taken.
enum class LockPath {
    held,    // a copy holds the lock file
    clear,   // nothing stale is left there
    blocked  // a lock file that cannot be removed
};

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QByteArray& name)
        : fd_(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool still_named(const QByteArray& name, int fd) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// QLockFile keeps a flock on its file for as long as it holds the lock: a copy that holds it runs,
// even while it builds its window and does not listen yet. A file nobody holds is a dead copy's,
// whatever process or host it names. It goes under our flock, so that a copy taking it over at
// the same moment finds it held.
LockPath remove_unless_held(const QByteArray& name) {
    const ReadOnlyFile file(name);
    if (file.fd() < 0) return errno == ENOENT ? LockPath::clear : LockPath::blocked;
    if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return LockPath::held;
    if (!still_named(name, file.fd())) return LockPath::clear;
    return ::unlink(name.constData()) == 0 ? LockPath::clear : LockPath::blocked;
}

// True when a copy holds the lock after all; otherwise this copy takes it if it can.
bool held_by_another_copy(QLockFile& lock, const QString& path) {
    switch (remove_unless_held(QFile::encodeName(path))) {
    case LockPath::held:
        return true;
    case LockPath::blocked:
        return false;
    case LockPath::clear:
        break;
    }
    // A copy starting at the same moment may take it first.
    return !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError;
}

}  // namespace

SingleInstance::SingleInstance()
    : lock_path_(QFileInfo(store_folder() + "/quorvel.lock").absoluteFilePath()),
      lock_(std::make_unique<QLockFile>(lock_path_)) {
    QDir().mkpath(QFileInfo(lock_path_).path());
    // A running game keeps the lock for hours: it counts as stale only when its copy is gone.
    lock_->setStaleLockTime(0);
    // QLockFile reads what stands at its path: a named pipe there would keep it waiting for ever.
    if (!clear_of_anything_but_a_file(lock_path_)) return;
    if (lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError) return;
    another_copy_runs_ = copy_listens(lock_path_) || held_by_another_copy(*lock_, lock_path_);
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::serve_later_copies(std::function<void()> raise) {
    if (!lock_->isLocked()) return;
    raise_ = std::move(raise);
    const QString path = server_path(lock_path_);
    // The lock is ours: a socket left at the path is a killed copy's.
    QLocalServer::removeServer(path);
    server_ = std::make_unique<QLocalServer>();
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
    server_->listen(path);
}

void SingleInstance::serve(QLocalSocket* socket) {
    socket->setReadBufferSize(kRequest.size());
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { read_request(*socket); });
    QTimer::singleShot(kServeLimitMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}

void SingleInstance::read_request(QLocalSocket& socket) {
    if (socket.state() != QLocalSocket::ConnectedState || socket.bytesAvailable() < kRequest.size()) return;
    if (socket.read(kRequest.size()) != kRequest) {
        socket.abort();
        return;
    }
    raise_();
    socket.write(kAnswer);
    socket.disconnectFromServer();
}

QString server_path(const QString& lock_path) {
    const QString runtime_folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(lock_path), QCryptographicHash::Sha256);
    return (runtime_folder.isEmpty() ? QDir::tempPath() : runtime_folder) + "/quorvel-" +
           QString::fromLatin1(hash.toHex().left(16));
}

bool ask_running_copy_to_raise(const QString& lock_path, int patience_ms) {
    const QDeadlineTimer deadline(patience_ms);
    const QString path = server_path(lock_path);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(remaining_ms(deadline))) return request_raise(socket, deadline);
        // Not listening yet: the running copy may still be starting.
        QThread::msleep(static_cast<unsigned long>(std::clamp(remaining_ms(deadline), 0, kRetryPauseMs)));
    }
    return false;
}
