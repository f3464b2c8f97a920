#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

// A fresh temporary folder that is the working directory while this object lives.
class TemporaryWorkingFolder {
public:
    TemporaryWorkingFolder() { QDir::setCurrent(folder_.path()); }
    ~TemporaryWorkingFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_ = QDir::currentPath();
    QTemporaryDir folder_;
};

inline QByteArray read_file_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void write_file_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray padded(QByteArray bytes, qsizetype size) {
    return bytes.append(size - bytes.size(), '\0');
}

// 3 x 2, every pixel different, some translucent.
inline QImage test_picture() {
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 255), qRgba(0, 0, 255, 255),
                           qRgba(10, 20, 30, 128), qRgba(1, 2, 3, 0),    qRgba(250, 251, 252, 255)};
    for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, pixels[i]);
    return image;
}

// A small RIFF WAVE writer: every size can be made to lie.

inline QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
inline QByteArray le16(quint16 value) { return le32(value).left(2); }

inline QByteArray chunk(const char* id, const QByteArray& body, std::optional<quint32> size = {}) {
    const QByteArray bytes = id + le32(size.value_or(quint32(body.size()))) + body;
    return body.size() % 2 == 1 ? bytes + '\0' : bytes;
}

inline QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

struct Layout {
    quint16 channels = 1;
    quint32 rate = 8000;
    quint16 bits = 8;
    quint16 tag = 1;           // PCM
    quint16 block_align = 0;   // 0: the right one
};

inline QByteArray fmt_body(const Layout& layout) {
    const auto block = layout.block_align ? layout.block_align
                                          : quint16(layout.channels * layout.bits / 8);
    return le16(layout.tag) + le16(layout.channels) + le32(layout.rate) +
           le32(layout.rate * block) + le16(block) + le16(layout.bits);
}

inline QByteArray samples(qsizetype count) {
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) bytes[i] = char(i * 37 % 251);
    return bytes;
}

inline QByteArray simple_wave(qsizetype sample_bytes = 64, const Layout& layout = {}) {
    return riff(chunk("fmt ", fmt_body(layout)) + chunk("data", samples(sample_bytes)));
}

// Readable failure messages, and table cases named by their label.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline constexpr auto kLabel = [](const auto& info) { return std::string(info.param.label); };
