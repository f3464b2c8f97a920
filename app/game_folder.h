#pragma once

#include <QString>

// Where the game runs and what it reads from.
struct GameFolders {
    QString working;  // the working directory: the game's files, the add-ons the player drops
    QString shipped;  // read-only files of an installed game; empty when the game runs portable
};

// Portable: the folder of the executable, when it holds the high-colour standard style.
// Installed: the data folder `data_folder` (relative to the executable's folder) for what the
// game ships, and the per-user folder "quorvel" in the user's data folder as working directory.
GameFolders find_game_folders(const QString& executable_folder, const QString& data_folder);

// Makes the working folder (a first start of an installed game) and enters it; false with
// nothing changed when it cannot be made.
bool enter_game_folders(const GameFolders& folders);
