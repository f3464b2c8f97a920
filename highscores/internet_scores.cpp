#include "highscores/internet_scores.h"

#include <algorithm>

namespace {

constexpr int kRows = 9;
constexpr int kFirstRowOffset = 2;
constexpr int kRowDistance = 3;
constexpr int kValueOffset = 6;
constexpr int kLocalPointsStart = 3;
constexpr int kLocalPointsLength = 11;
constexpr int kLocalNameStart = 13;
constexpr int kPointsColumn = 10;
constexpr int kCountryColumn = 35;
const QString kCellEnd = "</TD";

// Blanks and control characters, as they pad a cell.
QString trimmed_cell(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] <= QChar(' ')) ++begin;
    while (end > begin && text[end - 1] <= QChar(' ')) --end;
    return text.mid(begin, end - begin);
}

// What a character reference such as "&lt;", "&amp;" or "&#233;" stands for; empty when it is none.
QString referenced_character(const QString& entity) {
    static const std::array<std::pair<QString, QChar>, 5> named{{
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}}};
    for (const auto& [name, character] : named)
        if (entity == name) return QString(character);
    bool ok = false;
    const bool hex = entity.startsWith("&#x") || entity.startsWith("&#X");
    const char32_t code = hex ? entity.mid(3).chopped(1).toUInt(&ok, 16)
                          : entity.startsWith("&#") ? entity.mid(2).chopped(1).toUInt(&ok, 10) : 0;
    if (!ok || code == 0 || code > 0x10FFFF || QChar::isSurrogate(code)) return QString();
    return QString::fromUcs4(&code, 1);
}

// A page writes "<", "&" and quotes in its cells as character references.
QString decoded_entities(const QString& text) {
    constexpr qsizetype kLongestReference = 10;
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype semicolon = text[i] == '&' ? text.indexOf(';', i) : -1;
        const QString character = semicolon > i && semicolon - i <= kLongestReference
                                      ? referenced_character(text.mid(i, semicolon - i + 1))
                                      : QString();
        if (character.isEmpty()) {
            result += text[i++];
        } else {
            result += character;
            i = semicolon + 1;
        }
    }
    return result;
}

// The value after `marker` in what is left of the line; `rest` then starts at that value.
QString cell_value(QString& rest, const QString& marker) {
    const qsizetype at = rest.indexOf(marker);
    if (at < 0) {
        rest.clear();
        return QString();
    }
    rest = rest.mid(at + kValueOffset);
    return trimmed_cell(rest.left(std::max<qsizetype>(rest.indexOf(kCellEnd), 0)));
}

QString padded(const QString& text, int width) { return text.leftJustified(width, ' ', false); }

}  // namespace

const std::array<QString, 9>& reserved_names() {
    static const std::array<QString, 9> names{"Marit Stonewell", "Jonas Quill",  "Ada Pebblestone",
                                              "Tomek Rowan",     "Lina Fernbrook", "Oskar Dune",
                                              "Nell Harrow",     "Pim Vale",       "Rosa Glen"};
    return names;
}

int first_row_marker(const QStringList& page_lines) {
    for (int i = 0; i < page_lines.size(); ++i)
        if (page_lines[i].compare("<!-- first row -->", Qt::CaseInsensitive) == 0) return i;
    return -1;
}

std::vector<score> parse_page(const QStringList& page_lines) {
    const int marker = first_row_marker(page_lines);
    std::vector<score> rows;
    for (int i = 0; i < kRows; ++i) {
        const int line = marker + kFirstRowOffset + kRowDistance * i;
        if (line >= page_lines.size())
            throw PageError("The highscore page ends before row " + std::to_string(i + 1) + " of its table.");
        rows.push_back(parse_page_row(page_lines[line]));
    }
    return rows;
}

score parse_page_row(const QString& line) {
    QString rest = line;
    const QString points = cell_value(rest, "poi");
    score row;
    bool ok = false;
    row.points = points.toInt(&ok, 10);
    if (!ok) throw PageError("'" + points.left(40).toStdString() + "' in the highscore page is no number of points.");
    row.name = decoded_entities(cell_value(rest, "nam"));
    row.country = decoded_entities(cell_value(rest, "cou"));
    return row;
}

score parse_local_line(const QString& line) {
    score entry;
    entry.points = line.mid(kLocalPointsStart, kLocalPointsLength).trimmed().toInt();
    entry.name = line.mid(kLocalNameStart).trimmed();
    entry.country = "???";
    return entry;
}

bool is_default_entry(const score& s) {
    return s.points % 5 == 0 && std::find(reserved_names().begin(), reserved_names().end(), s.name) != reserved_names().end();
}

std::vector<score> local_candidates(const QStringList& table_lines) {
    std::vector<score> entries;
    for (int i = 0; i < kRows && i < table_lines.size(); ++i) entries.push_back(parse_local_line(table_lines[i]));
    for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i) {
        const auto above = entries.begin() + i;
        const bool repeated = std::any_of(entries.begin(), above, [&](const score& e) { return e.name == above->name; });
        if (repeated || is_default_entry(*above)) entries.erase(above);
    }
    return entries;
}

QString display_line(const score& s) {
    return padded(padded(QString::number(s.points), kPointsColumn) + s.name, kCountryColumn) + s.country;
}

QString posted_key(const score& s) { return QString::number(s.points) + ' ' + s.name; }

int rank_for_posting(const score& s, std::vector<score>& internet_scores, QStringList& posted) {
    const bool stands_higher = std::any_of(internet_scores.begin(), internet_scores.end(), [&](const score& row) {
        return row.name == s.name && row.points >= s.points;
    });
    const QString key = posted_key(s);
    if (stands_higher || posted.contains(key, Qt::CaseInsensitive)) return -1;
    for (int i = 0; i < kRows && i < static_cast<int>(internet_scores.size()); ++i) {
        if (internet_scores[i].points < s.points) {
            posted.append(key);
            internet_scores.insert(internet_scores.begin() + i, score{s.name, QString(), s.points});
            internet_scores.pop_back();
            return i;
        }
    }
    return -1;
}
