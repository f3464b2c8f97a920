#include "platform/game_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString shipped;

}  // namespace

void set_shipped_folder(const QString& folder) { shipped = folder; }

QString shipped_folder() { return shipped; }

QString game_file(const QString& name) {
    if (QFileInfo::exists(name) || shipped.isEmpty()) return name;
    const QString in_shipped = QDir(shipped).filePath(name);
    return QFileInfo::exists(in_shipped) ? in_shipped : name;
}
