#pragma once

#include "platform/ini_text.h"

#include <QByteArray>
#include <QString>

class QLockFile;

// Why a save failed. `subject` is the path the cause names, or for kNotWritten the system's own
// words; `disk_full` says that the disk had no room left, whatever failed first.
struct StoreError {
    enum Cause { kNone, kInTheWay, kLockHeld, kNoLockPermission, kLockNotMade, kFolderNotMade, kDamagedNotCopied, kNotWritten };
    Cause cause = kNone;
    QString subject;
    bool disk_full = false;
};

// The current user's registry under "Software\Corvatek\linvara", kept in the INI file
// Corvatek/linvara.conf of the user's config folder (the file QSettings("Corvatek", "linvara")
// reads). A key is a group ("set", "hi"); values hold bytes, stored as Latin-1 text so that
// every byte comes back unchanged.
//
// The file is read once, when the registry is made, and written whole by flush(): under a lock,
// into a temporary file that replaces the old one only when every byte reached the disk. A
// failed save leaves the old file as it was.
class Registry {
public:
    Registry();

    bool key_exists(const QString& key) const;
    // A missing value reads as empty.
    QByteArray read_string(const QString& key, const QString& name) const;
    void write_string(const QString& key, const QString& name, const QByteArray& bytes);
    void write_binary(const QString& key, const QString& name, const QByteArray& bytes);
    void delete_key(const QString& key);
    // Writes everything to disk; false, with error() saying why, when the file was not replaced.
    // Waits at most `lock_wait_ms` for another program's save to end; nothing else waits.
    bool flush(int lock_wait_ms = kSaveLockWaitMs);

    QString file_name() const { return path_; }
    StoreError error() const { return error_; }
    // Where a store that could not be read whole was copied before anything was written over it;
    // empty when the store was sound, or was no file at all (a FIFO, a folder), which no save replaces.
    QString damaged_copy() const { return damaged_copy_; }

    // Largest store file read; a longer one counts as damaged.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    // Another program's save takes milliseconds; the game's window must not stand still longer.
    static constexpr int kSaveLockWaitMs = 50;

private:
    void read_file();
    void keep_damaged_file();
    void remove_interrupted_saves();
    bool take_lock(QLockFile& lock, int wait_ms);
    bool fail(StoreError::Cause cause, const QString& subject);
    bool fail_writing(StoreError::Cause cause, const QString& subject);

    QString path_;
    StoreGroups groups_;
    StoreError error_;
    QString damaged_copy_;
    bool damaged_copy_failed_ = false;
};

// The folder of the store file: the user's config folder, followed by "Corvatek".
QString store_folder();
