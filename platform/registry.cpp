#include "platform/registry.h"

#include "platform/regular_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/statvfs.h>

namespace {

// A save takes milliseconds: a lock older than this is left over from a killed program.
constexpr int kStaleLockMs = 3000;

// Some file systems count no inodes at all (f_files 0); only the blocks tell there.
bool disk_full(const QString& folder) {
    struct statvfs space {};
    return ::statvfs(QFile::encodeName(folder).constData(), &space) == 0 &&
           (space.f_bavail == 0 || (space.f_files > 0 && space.f_favail == 0));
}

}  // namespace

QString store_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Corvatek";
}

Registry::Registry() : path_(store_folder() + "/linvara.conf") {
    read_file();
    remove_interrupted_saves();
}

// Anything but a regular file at the store's name (a FIFO would block every read of it, the copy
// aside too) is neither read nor written over.
void Registry::read_file() {
    const FileRead file = read_regular_file(path_, kMaxFileBytes);
    if (file.outcome == FileRead::Missing) return;
    ParsedIni parsed = parse_ini(file.bytes);
    groups_ = std::move(parsed.groups);
    if (file.outcome != FileRead::NotRegular && (parsed.damaged || file.outcome != FileRead::Read)) keep_damaged_file();
}

// A damaged file is read as far as it goes; the next save would replace it, so a copy of the
// original is kept beside it first.
void Registry::keep_damaged_file() {
    const QString stem = path_ + ".damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    QString copy = stem;
    for (int n = 2; QFileInfo::exists(copy); ++n) copy = stem + "-" + QString::number(n);
    if (QFile::copy(path_, copy))
        damaged_copy_ = copy;
    else
        damaged_copy_failed_ = true;
}

// QSaveFile names its temporary file after the store and a dot and six characters; one left by a
// killed program is removed while no other program saves.
void Registry::remove_interrupted_saves() {
    QLockFile lock(path_ + ".lock");
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(0)) return;
    const QFileInfo store(path_);
    const QRegularExpression temporary("^" + QRegularExpression::escape(store.fileName()) + "\\.[A-Za-z0-9]{6}$");
    QDir folder = store.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (temporary.match(name).hasMatch()) folder.remove(name);
}

bool Registry::key_exists(const QString& key) const {
    const auto group = groups_.find(key);
    return group != groups_.end() && !group->second.empty();
}

QByteArray Registry::read_string(const QString& key, const QString& name) const {
    const auto group = groups_.find(key);
    if (group == groups_.end()) return {};
    const auto value = group->second.find(name);
    return value == group->second.end() || value->second.binary ? QByteArray() : value->second.bytes;
}

void Registry::write_string(const QString& key, const QString& name, const QByteArray& bytes) {
    groups_[key][name] = {bytes, false};
}

void Registry::write_binary(const QString& key, const QString& name, const QByteArray& bytes) {
    groups_[key][name] = {bytes, true};
}

void Registry::delete_key(const QString& key) { groups_.erase(key); }

bool Registry::flush(int lock_wait_ms) {
    error_ = {};
    if (damaged_copy_failed_) return fail(StoreError::kDamagedNotCopied, path_);
    const QString folder = QFileInfo(path_).path();
    if (!QDir().mkpath(folder)) return fail(StoreError::kFolderNotMade, folder);
    // A save would put a file in its place.
    if (holds_other_than_regular_file(path_)) return fail(StoreError::kInTheWay, path_);
    QLockFile lock(path_ + ".lock");
    lock.setStaleLockTime(kStaleLockMs);
    if (!take_lock(lock, lock_wait_ms)) return false;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail_writing(StoreError::kNotWritten, file.errorString());
    const QByteArray text = write_ini(groups_);
    if (file.write(text) != text.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail_writing(StoreError::kNotWritten, why);
    }
    if (!file.commit()) return fail_writing(StoreError::kNotWritten, file.errorString());
    return true;
}

// Waits for the lock only while a live program holds it; whatever else keeps it from being made
// (a folder in its place, a full disk, no permission) fails at once, named as it is.
bool Registry::take_lock(QLockFile& lock, int wait_ms) {
    const QString lock_path = path_ + ".lock";
    if (holds_other_than_regular_file(lock_path)) return fail(StoreError::kInTheWay, lock_path);
    // A lock file whose flock no process holds (a live QLockFile keeps one) was left by a program that
    // died; Qt removes it only when no one holds the flock.
    if (QFileInfo::exists(lock_path)) lock.removeStaleLockFile();
    if (lock.tryLock(wait_ms)) return true;
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return fail(StoreError::kLockHeld, lock_path);
    case QLockFile::PermissionError:
        return fail(StoreError::kNoLockPermission, lock_path);
    default:
        return fail_writing(StoreError::kLockNotMade, lock_path);
    }
}

bool Registry::fail(StoreError::Cause cause, const QString& subject) {
    error_ = {cause, subject, false};
    return false;
}

// A write that failed on a full disk says so: the disk is what the player can mend.
bool Registry::fail_writing(StoreError::Cause cause, const QString& subject) {
    error_ = {cause, subject, disk_full(QFileInfo(path_).path())};
    return false;
}
