#pragma once

#include <QByteArray>
#include <QString>

// What reading a file of the player's folders gave.
struct FileRead {
    enum Outcome { Read, Missing, NotRegular, TooLarge, Failed };
    Outcome outcome = Failed;
    QByteArray bytes;  // the whole file when Read
    QString error;     // why it was not read, for a message
};

// Reads the file at `path` whole when it is a regular file (symbolic links followed) of at most
// `max_bytes`. Anything else at the path, a FIFO or a device among them, is left unopened or
// opened without waiting and refused: a FIFO would block the open until a writer comes.
FileRead read_regular_file(const QString& path, qint64 max_bytes);

// True when something other than a regular file stands at `path`, so that a save must not
// replace it.
bool holds_other_than_regular_file(const QString& path);
