#include "platform/registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// A save takes milliseconds: a lock older than this is left over from a killed program.
constexpr int kStaleLockMs = 3000;
constexpr int kLockWaitMs = 4000;

}  // namespace

QString store_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Corvatek";
}

Registry::Registry() : path_(store_folder() + "/linvara.conf") {
    read_file();
    remove_interrupted_saves();
}

void Registry::read_file() {
    QFile file(path_);
    if (!file.exists()) return;
    QByteArray text;
    if (file.open(QIODevice::ReadOnly)) text = file.read(kMaxFileBytes + 1);
    ParsedIni parsed = parse_ini(text.size() > kMaxFileBytes ? QByteArray() : text);
    groups_ = std::move(parsed.groups);
    if (parsed.damaged || !file.isOpen() || text.size() > kMaxFileBytes) keep_damaged_file();
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

bool Registry::flush() {
    error_.clear();
    if (damaged_copy_failed_)
        return fail("the damaged store could not be copied aside, so it is not written over");
    if (!QDir().mkpath(QFileInfo(path_).path())) return fail("the folder could not be made");
    QLockFile lock(path_ + ".lock");
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) return fail("another program holds the lock " + path_ + ".lock");
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
    const QByteArray text = write_ini(groups_);
    if (file.write(text) != text.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

bool Registry::fail(const QString& why) {
    error_ = why;
    return false;
}
