#include "app/highscore_tables.h"

#include "app/settings_store.h"
#include "highscores/internet_scores.h"
#include "platform/registry.h"

#include <QList>

#include <array>

namespace {

const QString kKey = "hi";
constexpr int kPointsStart = 6;
constexpr int kPointsWidth = 10;
constexpr unsigned char kFlippedRankOne = 0xB1;

// The default names are the ones the web site's table reserves for its own fillers.
constexpr std::array<int, highscore::kEntries> kDefaultPoints{800, 600, 500, 400, 300, 200, 100, 50, 10};

// A stored name is UTF-8; a store written by an older version may hold Latin-1 bytes instead.
QString decode_stored_text(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString::fromLatin1(bytes);
}

}  // namespace

QStringList default_highscore_lines() {
    QStringList lines;
    for (int i = 0; i < highscore::kLines; ++i) lines.append(QString());
    for (int rank = 0; rank < highscore::kEntries; ++rank) {
        const auto entry = static_cast<std::size_t>(rank);
        const QString line = new_highscore_line(rank, kDefaultPoints[entry]) + reserved_names()[entry];
        lines[rank] = line;
        lines[highscore::kOtherTable + rank] = line;
    }
    return lines;
}

// Plain lines begin with a rank digit and take the rotation; a stored table whose first byte is
// a flipped "1" was written with the high-bit flip.
void transform_highscores(QList<QByteArray>& lines) {
    const bool flipped = !lines.isEmpty() && !lines[0].isEmpty() &&
                         static_cast<unsigned char>(lines[0][0]) == kFlippedRankOne;
    for (QByteArray& line : lines) line = flipped ? flip_text(line) : rotate_text(line);
}

QStringList load_highscores(const Registry& registry) {
    if (!registry.key_exists(kKey)) return default_highscore_lines();
    QList<QByteArray> stored;
    for (int n = 1; n <= highscore::kLines; ++n) stored.append(registry.read_string(kKey, QString::number(n)));
    transform_highscores(stored);
    QStringList lines;
    for (const QByteArray& line : stored) lines.append(decode_stored_text(line));
    return lines;
}

void write_highscores(Registry& registry, const QStringList& lines) {
    QList<QByteArray> stored;
    for (const QString& line : lines) stored.append(line.toUtf8());
    transform_highscores(stored);
    for (int i = 0; i < stored.size(); ++i) registry.write_string(kKey, QString::number(i + 1), stored[i]);
}

int points_of(const QString& line) {
    const QString rest = line.mid(kPointsStart);
    const qsizetype blank = rest.indexOf(' ');
    bool ok = false;
    const int points = rest.left(blank).toInt(&ok);
    return ok ? points : 0;
}

int highscore_place(const QStringList& lines, int score) {
    for (int place = 0; place < highscore::kEntries && place < lines.size(); ++place)
        if (points_of(lines[place]) < score) return place;
    return -1;
}

QString new_highscore_line(int place, int score) {
    const QString points = QString::number(score);
    return QString::number(place + 1) + ".    " + points +
           QString(std::max<qsizetype>(0, kPointsWidth - points.size()), ' ');
}

QStringList insert_highscore(QStringList lines, int place, const QString& entry) {
    for (int j = highscore::kEntries - 2; j >= place; --j) lines[j + 1] = QString::number(j + 2) + lines[j].mid(1);
    lines[place] = entry;
    return lines;
}

void swap_highscore_tables(QStringList& lines) {
    for (int i = 0; i < highscore::kEntries; ++i) lines.swapItemsAt(i, i + highscore::kOtherTable);
}
