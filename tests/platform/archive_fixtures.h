#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

// A fresh temporary folder that is the working directory while this object lives.
class TemporaryWorkingFolder {
public:
    TemporaryWorkingFolder();
    ~TemporaryWorkingFolder();
    QString path(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
    QString previous_;
};

struct RawEntry {
    QString name;
    QByteArray bytes;
    bool stored = false;   // no compression: the bytes appear as they are in the file
};

// ZIP archives written with libzip directly, bypassing ResourceModuleWriter.
void write_zip(const QString& path, const std::vector<RawEntry>& entries);
QByteArray read_zip_entry(const QString& path, const QString& name);

// Rewrites the size a one-entry archive declares for its entry, in the local and the central
// header alike, so the archive stays consistent and only the size lies.
enum class SizeField { Compressed, Uncompressed };
void set_declared_size(QByteArray& archive, SizeField field, quint32 size);
quint32 declared_size(const QByteArray& archive, SizeField field);

QByteArray wave_bytes(qsizetype total_size);    // 8-bit mono PCM RIFF WAVE
QByteArray encode(const QImage& image, const char* format);
QImage test_picture();                          // 3 x 2, every pixel different, some translucent
QByteArray png_claiming_size(quint32 width, quint32 height);
QByteArray bmp_claiming_size(qint32 width, qint32 height);
QByteArray read_file_bytes(const QString& path);
void write_file_bytes(const QString& path, const QByteArray& bytes);
QByteArray padded(QByteArray bytes, qsizetype size, char fill);

// Readable failure messages for the values these tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
