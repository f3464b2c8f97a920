#include "highscores/posted_file.h"

#include "platform/regular_file.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxFileSize = 1024 * 1024;

// Written as UTF-8; a file from an older version may hold Latin-1.
QString decoded(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString::fromLatin1(bytes);
}

}  // namespace

PostedRead read_posted(const QString& path, QStringList& posted) {
    const FileRead file = read_regular_file(path, kMaxFileSize);
    if (file.outcome == FileRead::Missing) {
        posted.clear();
        return PostedRead::Missing;
    }
    if (file.outcome != FileRead::Read) return PostedRead::Unreadable;
    posted = decoded(file.bytes).split(QRegularExpression("\r\n|\n|\r"), Qt::SkipEmptyParts);
    return PostedRead::Read;
}

QString record_posted(const QString& path, const QStringList& keys) {
    QStringList lines;
    if (read_posted(path, lines) == PostedRead::Unreadable)
        return "The posted highscores could not be recorded: \"" + path + "\" cannot be read.";
    for (const QString& key : keys)
        if (!lines.contains(key, Qt::CaseInsensitive)) lines.append(key);
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    return "The posted highscores could not be saved to \"" + path + "\": " + file.errorString();
}
