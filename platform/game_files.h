#pragma once

#include <QString>
#include <QStringList>

// The game names its files relative to the working directory. An installed game keeps what it
// ships in a read-only folder and runs in a folder of the player's own; a file the working
// directory lacks is taken from the shipped folder.
void set_shipped_folder(const QString& folder);
QString shipped_folder();

// The path to open for the game file `name`: the working directory's when it exists there, else
// the shipped folder's when it exists there, else `name` itself.
QString game_file(const QString& name);

// The names of the game files matching `pattern` ("*.lvr"): the working directory's in the order
// the directory lists them, then the shipped folder's that no file of the working directory
// hides (names compared without regard to letter case, as files are opened).
QStringList list_game_files(const QString& pattern);
