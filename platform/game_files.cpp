#include "platform/game_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString shipped;

QStringList files_in(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Readable, QDir::Unsorted);
}

}  // namespace

void set_shipped_folder(const QString& folder) { shipped = folder; }

QString shipped_folder() { return shipped; }

QString game_file(const QString& name) {
    if (QFileInfo::exists(name) || shipped.isEmpty()) return name;
    const QString in_shipped = QDir(shipped).filePath(name);
    return QFileInfo::exists(in_shipped) ? in_shipped : name;
}

QStringList list_game_files(const QString& pattern) {
    QStringList names = files_in(".", pattern);
    if (shipped.isEmpty() || QDir(shipped) == QDir(".")) return names;
    for (const QString& name : files_in(shipped, pattern))
        if (!names.contains(name, Qt::CaseInsensitive)) names.append(name);
    return names;
}
