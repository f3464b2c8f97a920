#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

// The current user's registry under "Software\Corvatek\linvara", kept by QSettings in
// Corvatek/linvara.conf of the user's config folder. A key is a group ("set", "hi"); values
// hold bytes, stored as Latin-1 text so that every byte comes back unchanged.
class Registry {
public:
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    bool key_exists(const QString& key) const;
    // A missing value reads as empty.
    QByteArray read_string(const QString& key, const QString& name) const;
    void write_string(const QString& key, const QString& name, const QByteArray& bytes);
    void write_binary(const QString& key, const QString& name, const QByteArray& bytes);
    void delete_key(const QString& key);
    // Writes everything to disk; false when the file could not be written.
    bool flush();

    QString file_name() const;
    // Where a store that could not be read was copied before anything was written over it.
    QString damaged_copy() const { return damaged_copy_; }

private:
    void keep_damaged_file();

    std::unique_ptr<QSettings> settings_;
    QString damaged_copy_;
};
