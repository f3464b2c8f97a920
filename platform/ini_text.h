#pragma once

#include <QByteArray>
#include <QString>

#include <map>

// A value of the store: the bytes of a scrambled text, or the bytes of a binary value.
struct StoredValue {
    QByteArray bytes;
    bool binary = false;
    bool operator==(const StoredValue&) const = default;
};

// Group name -> value name -> value, as the INI file of the store holds them.
using StoreGroups = std::map<QString, std::map<QString, StoredValue>>;

struct ParsedIni {
    StoreGroups groups;
    // Some line was neither a group, a value, a comment nor blank, or the text is not what its
    // check line (see write_ini) says was written.
    bool damaged = false;
};

// Reads the INI dialect QSettings writes: quoted values with C-like escapes, UTF-8 text, binary
// values as "@ByteArray(...)". A text value keeps one byte per character (its Latin-1 code).
ParsedIni parse_ini(const QByteArray& text);

// Writes groups so that both parse_ini and QSettings read back every byte of every value. The
// first line, a comment to QSettings, gives the length and hash of the rest, so that parse_ini
// tells a text cut short from a whole one.
QByteArray write_ini(const StoreGroups& groups);
