#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// What a resource module holds and how each kind of entry is read, shared by the module
// reader, its writer and the packer.

constexpr qint64 kMaxResourceBytes = 8 * 1024 * 1024;      // one bitmap or wave entry
constexpr qint64 kMaxStringTableBytes = 1024 * 1024;       // the whole "strings.txt"
constexpr int kMaxBitmapSide = 4096;                        // pixels, either direction

QString bitmap_entry_name(const QString& name);
QString wave_entry_name(const QString& name);
inline constexpr char kStringTableEntry[] = "strings.txt";

// Decodes any image format Qt reads, judged by content; nothing for undecodable bytes or
// pictures wider or taller than `limit` (refused from the header, before decoding).
std::optional<QImage> decode_bitmap(const QByteArray& bytes, QSize limit = {kMaxBitmapSide, kMaxBitmapSide});

// A RIFF WAVE file, as far as its header tells.
bool looks_like_wave(const QByteArray& bytes);

struct StringTable {
    std::map<int, QString> strings;
    std::vector<int> malformed_lines;   // 1-based numbers of the lines that were skipped
};

// "ID<TAB>TEXT" lines, UTF-8; in TEXT "\n" is a line break, "\t" a tab, "\\" a backslash.
// The first line with a given id wins.
StringTable parse_string_table(const QByteArray& utf8);
QByteArray format_string_table(const std::map<int, QString>& strings);
