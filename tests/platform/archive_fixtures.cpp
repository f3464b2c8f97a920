#include "archive_fixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zip.h>

namespace {

constexpr qsizetype kWaveHeaderSize = 44;

// Offsets of the two size fields in a local file header and in a central directory header.
constexpr qsizetype kLocalCompressedSize = 18;
constexpr qsizetype kCentralCompressedSize = 20;
constexpr qsizetype kSizeFieldDistance = 4;   // the uncompressed size follows

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

template <typename T>
QByteArray little_endian(T value) {
    QByteArray bytes(sizeof(T), '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

qsizetype size_field_offset(const QByteArray& archive, SizeField field, bool central) {
    const qsizetype header = central ? archive.lastIndexOf("PK\x01\x02") : 0;
    const qsizetype shift = field == SizeField::Uncompressed ? kSizeFieldDistance : 0;
    return header + (central ? kCentralCompressedSize : kLocalCompressedSize) + shift;
}

}  // namespace

TemporaryWorkingFolder::TemporaryWorkingFolder() : previous_(QDir::currentPath()) {
    QDir::setCurrent(folder_.path());
}

TemporaryWorkingFolder::~TemporaryWorkingFolder() {
    QDir::setCurrent(previous_);
}

void write_zip(const QString& path, const std::vector<RawEntry>& entries) {
    int error = 0;
    zip* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const RawEntry& entry : entries) {
        const auto size = zip_uint64_t(entry.bytes.size());
        zip_source_t* source = zip_source_buffer(archive, entry.bytes.constData(), size, 0);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        if (entry.stored) {
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0);
}

QByteArray read_zip_entry(const QString& path, const QString& name) {
    zip* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    if (!archive) {
        return {};
    }
    zip_stat_t stat;
    zip_file_t* file = zip_stat(archive, name.toUtf8().constData(), 0, &stat) == 0
                           ? zip_fopen(archive, name.toUtf8().constData(), 0)
                           : nullptr;
    QByteArray bytes(file ? qsizetype(stat.size) : 0, '\0');
    if (file && zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size)) {
        bytes.clear();
    }
    if (file) {
        zip_fclose(file);
    }
    zip_discard(archive);
    return bytes;
}

void set_declared_size(QByteArray& archive, SizeField field, quint32 size) {
    for (const bool central : {false, true}) {
        qToLittleEndian(size, archive.data() + size_field_offset(archive, field, central));
    }
}

quint32 declared_size(const QByteArray& archive, SizeField field) {
    const qsizetype offset = size_field_offset(archive, field, true);
    return qFromLittleEndian<quint32>(archive.constData() + offset);
}

QByteArray wave_bytes(qsizetype total_size) {
    const auto samples = quint32(total_size - kWaveHeaderSize);
    QByteArray wave = "RIFF" + little_endian<quint32>(samples + 36) + "WAVEfmt " +
                      little_endian<quint32>(16) + little_endian<quint16>(1) +  // PCM
                      little_endian<quint16>(1) + little_endian<quint32>(8000) +
                      little_endian<quint32>(8000) + little_endian<quint16>(1) +
                      little_endian<quint16>(8) + "data" + little_endian<quint32>(samples);
    for (quint32 i = 0; i < samples; ++i) {
        wave += char(i * 37 % 251);
    }
    return wave;
}

QByteArray encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage test_picture() {
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(255, 0, 0, 255),  qRgba(0, 255, 0, 255),
                           qRgba(0, 0, 255, 255),  qRgba(10, 20, 30, 128),
                           qRgba(1, 2, 3, 0),      qRgba(250, 251, 252, 255)};
    for (int i = 0; i < 6; ++i) {
        image.setPixel(i % 3, i / 3, pixels[i]);
    }
    return image;
}

// PNG keeps width and height in its first chunk, IHDR, guarded by a CRC.
QByteArray png_claiming_size(quint32 width, quint32 height) {
    QByteArray png = encode(QImage(1, 1, QImage::Format_RGB32), "PNG");
    constexpr qsizetype kChunkType = 12, kWidth = 16, kHeight = 20, kCrc = 29;
    qToBigEndian(width, png.data() + kWidth);
    qToBigEndian(height, png.data() + kHeight);
    qToBigEndian(crc32(png.mid(kChunkType, kCrc - kChunkType)), png.data() + kCrc);
    return png;
}

QByteArray bmp_claiming_size(qint32 width, qint32 height) {
    QByteArray bmp = encode(QImage(1, 1, QImage::Format_RGB32), "BMP");
    constexpr qsizetype kWidth = 18, kHeight = 22;
    qToLittleEndian(width, bmp.data() + kWidth);
    qToLittleEndian(height, bmp.data() + kHeight);
    return bmp;
}

QByteArray read_file_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write_file_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray padded(QByteArray bytes, qsizetype size, char fill) {
    bytes.append(size - bytes.size(), fill);
    return bytes;
}
