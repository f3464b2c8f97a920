#pragma once

#include <QString>

// The game names its files relative to the working directory. An installed game keeps what it
// ships in a read-only folder and runs in a folder of the player's own; a file the working
// directory lacks is taken from the shipped folder.
void set_shipped_folder(const QString& folder);
QString shipped_folder();

// The path to open for the game file `name`: the working directory's when it exists there, else
// the shipped folder's when it exists there, else `name` itself.
QString game_file(const QString& name);
