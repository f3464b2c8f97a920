#include "app/game_folder.h"

#include "platform/game_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

GameFolders find_game_folders(const QString& executable_folder, const QString& data_folder) {
    const QDir executable(executable_folder);
    if (QFileInfo::exists(executable.filePath("standard highcolor.lvr"))) return {executable.absolutePath(), {}};
    const QString user_data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {user_data + "/quorvel", QDir::cleanPath(executable.filePath(data_folder))};
}

bool enter_game_folders(const GameFolders& folders) {
    if (!QDir().mkpath(folders.working) || !QDir::setCurrent(folders.working)) return false;
    set_shipped_folder(folders.shipped);
    return true;
}
