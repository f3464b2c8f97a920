#pragma once

#include <QString>
#include <QStringList>

// "posted.txt" in the working directory: one line "POINTS NAME" for each local entry that was
// mailed to the web site, lines ending in CR LF.
inline const QString kPostedFile = "posted.txt";

enum class PostedRead { Read, Missing, Unreadable };

// Fills `posted` with the file's lines when it can be read; a missing file empties it.
PostedRead read_posted(const QString& path, QStringList& posted);
// Adds the keys the file lacks, in any letter case, and replaces it whole: a crash leaves the old
// file or the new one, and a file that cannot be read is left alone. The error text when the
// keys could not be recorded, empty when they were.
QString record_posted(const QString& path, const QStringList& keys);
