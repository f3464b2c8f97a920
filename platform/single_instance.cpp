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

#include <algorithm>

namespace {

const QByteArray kRequest = "raise\n";
const QByteArray kAnswer = "raised\n";
// A later copy that has not sent its request by then is dropped.
constexpr int kServeLimitMs = 2000;
constexpr int kRetryPauseMs = 100;

// A lock file that names no process (cut short by a crash) would keep every later copy out. Qt
// removes it only while no living copy holds the file's flock.
bool take_unreadable_lock(QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application)) return false;
    lock.removeStaleLockFile();
    return lock.tryLock(0);
}

int remaining_ms(const QDeadlineTimer& deadline) { return static_cast<int>(deadline.remainingTime()); }

bool request_raise(QLocalSocket& socket, const QDeadlineTimer& deadline) {
    socket.write(kRequest);
    socket.flush();
    while (socket.bytesAvailable() < kAnswer.size() && socket.waitForReadyRead(remaining_ms(deadline))) {
    }
    return socket.read(kAnswer.size()) == kAnswer;
}

}  // namespace

SingleInstance::SingleInstance()
    : lock_path_(QFileInfo(store_folder() + "/quorvel.lock").absoluteFilePath()),
      lock_(std::make_unique<QLockFile>(lock_path_)) {
    QDir().mkpath(QFileInfo(lock_path_).path());
    // A running game keeps the lock for hours: it counts as stale only when its copy is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0) || take_unreadable_lock(*lock_)) return;
    another_copy_runs_ = lock_->error() == QLockFile::LockFailedError;
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
