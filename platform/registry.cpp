#include "platform/registry.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>

Registry::Registry() : settings_(std::make_unique<QSettings>("Corvatek", "linvara")) {
    if (settings_->status() == QSettings::FormatError) keep_damaged_file();
}

Registry::~Registry() = default;

// A damaged file is read as far as it goes; the next write would replace it, so a copy of the
// original is kept beside it first.
void Registry::keep_damaged_file() {
    const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    damaged_copy_ = settings_->fileName() + ".damaged-" + stamp;
    QFile::copy(settings_->fileName(), damaged_copy_);
}

bool Registry::key_exists(const QString& key) const { return settings_->childGroups().contains(key); }

QByteArray Registry::read_string(const QString& key, const QString& name) const {
    return settings_->value(key + "/" + name).toString().toLatin1();
}

void Registry::write_string(const QString& key, const QString& name, const QByteArray& bytes) {
    settings_->setValue(key + "/" + name, QString::fromLatin1(bytes));
}

void Registry::write_binary(const QString& key, const QString& name, const QByteArray& bytes) {
    settings_->setValue(key + "/" + name, bytes);
}

void Registry::delete_key(const QString& key) { settings_->remove(key); }

// The status keeps the first error met; one from reading a damaged file is no failure to write.
bool Registry::flush() {
    settings_->sync();
    return settings_->status() != QSettings::AccessError;
}

QString Registry::file_name() const { return settings_->fileName(); }
