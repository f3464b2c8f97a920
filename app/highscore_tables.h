#pragma once

#include <QString>
#include <QStringList>

class Registry;

// The two local highscore tables as the 29 lines the highscore dialog holds: lines 0 to 8 the
// table of the mode in force, rank 1 first; lines 9 to 19 empty; lines 20 to 28 the table of the
// other mode. An entry reads "R.    POINTS    NAME": the rank digit, a full stop, four blanks,
// the points from index 6 padded with blanks to ten characters, the name.
namespace highscore {
inline constexpr int kLines = 29;
inline constexpr int kEntries = 9;
inline constexpr int kOtherTable = 20;
}  // namespace highscore

// Both tables with the points 800 down to 10 and our nine default names.
QStringList default_highscore_lines();

// Scrambles or unscrambles the stored lines; its own inverse on the lines it makes.
void transform_highscores(QList<QByteArray>& lines);

// The stored tables; the defaults when the store holds none.
QStringList load_highscores(const Registry& registry);
// Puts the tables into the store; the caller flushes it.
void write_highscores(Registry& registry, const QStringList& lines);

// The points of an entry; 0 when they are no number.
int points_of(const QString& line);
// The line a score enters at, below every entry it does not beat; -1 when it enters none.
int highscore_place(const QStringList& lines, int score);
// The rank, the points padded to ten characters, no name yet.
QString new_highscore_line(int place, int score);
// The tables with `entry` at `place`: the entries below move down a rank, the last drops out.
QStringList insert_highscore(QStringList lines, int place, const QString& entry);
// Exchanges the two tables when the mode changes.
void swap_highscore_tables(QStringList& lines);
