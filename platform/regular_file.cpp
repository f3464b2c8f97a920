#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileRead refused(FileRead::Outcome outcome, const QString& error) { return {outcome, {}, error}; }

FileRead failed_call() {
    const int code = errno;
    return refused(code == ENOENT ? FileRead::Missing : FileRead::Failed, QString::fromLocal8Bit(std::strerror(code)));
}

FileRead not_regular() { return refused(FileRead::NotRegular, "it is not a regular file"); }

FileRead read_bounded(QFile& file, qint64 max_bytes) {
    QByteArray bytes = file.read(max_bytes + 1);
    if (file.error() != QFileDevice::NoError) return refused(FileRead::Failed, file.errorString());
    if (bytes.size() > max_bytes)
        return refused(FileRead::TooLarge, "it is larger than " + QString::number(max_bytes) + " bytes");
    return {FileRead::Read, std::move(bytes), {}};
}

}  // namespace

FileRead read_regular_file(const QString& path, qint64 max_bytes) {
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening, since opening a device can already do something, and again once
    // open, in case something else took the file's place in between.
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) return failed_call();
    if (!S_ISREG(status.st_mode)) return not_regular();
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return failed_call();
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return refused(FileRead::Failed, file.errorString());
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return not_regular();
    return read_bounded(file, max_bytes);
}

bool holds_other_than_regular_file(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}
