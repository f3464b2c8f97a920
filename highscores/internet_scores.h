#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <stdexcept>
#include <vector>

// One entry of a highscore table, local or from the web site's page.
struct score {
    QString name;
    QString country;
    int points = 0;
};

// A highscore page the table cannot be read from.
class PageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The names of the local tables' default entries; on the web site they mark its own fillers.
const std::array<QString, 9>& reserved_names();

// The index of the line "<!-- first row -->" in any letter case; -1 when the page has none.
int first_row_marker(const QStringList& page_lines);
// The nine rows of the page, row i on line marker + 2 + 3i. Throws PageError.
std::vector<score> parse_page(const QStringList& page_lines);
// The cells "poi", "nam" and "cou" of a row line, in this order. Throws PageError when the
// points are no decimal number.
score parse_page_row(const QString& line);
// A line of the local table: the points from its fourth to its fourteenth character, the name after.
score parse_local_line(const QString& line);
// A default entry of a local table: a reserved name with points divisible by 5.
bool is_default_entry(const score& s);
// The table's own entries that may go to the web site: each name with its best line, no defaults.
std::vector<score> local_candidates(const QStringList& table_lines);
// A row of the internet table: points, name and country in blank-padded columns.
QString display_line(const score& s);

// The line "POINTS NAME" that marks a local entry as posted.
QString posted_key(const score& s);
// The place `s` takes in the web table (0 to 8), which it then holds; -1 when its name stands
// there with as many points, when it was posted before, or when it beats no row. A placed
// entry's key is added to `posted`.
int rank_for_posting(const score& s, std::vector<score>& internet_scores, QStringList& posted);
