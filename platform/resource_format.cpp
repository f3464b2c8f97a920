#include "platform/resource_format.h"

#include <QBuffer>
#include <QImageReader>
#include <QStringDecoder>

#include <algorithm>

namespace {

// Enough for the largest accepted picture at 8 bytes per pixel (16-bit colour channels).
constexpr int kImageAllocationLimitMegabytes =
    int(qint64(kMaxBitmapSide) * kMaxBitmapSide * 8 / (1024 * 1024)) + 1;

bool fits_bitmap_limit(QSize size, QSize limit) {
    return size.width() <= std::min(limit.width(), kMaxBitmapSide) && size.height() <= std::min(limit.height(), kMaxBitmapSide);
}

// Plain decimal digits with an optional minus sign: no blanks, no plus sign, no other base.
std::optional<int> parse_decimal_int(const QByteArray& text) {
    const qsizetype digits_from = text.startsWith('-') ? 1 : 0;
    const bool all_digits =
        text.size() > digits_from && std::all_of(text.begin() + digits_from, text.end(),
                                                 [](char c) { return c >= '0' && c <= '9'; });
    bool in_range = false;
    const int value = all_digits ? text.toInt(&in_range, 10) : 0;
    return in_range ? std::optional<int>(value) : std::nullopt;
}

// An unknown escape, or a backslash at the end, stays as written.
QString unescape(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] == u'\\' && (next == u'n' || next == u'r' || next == u't' || next == u'\\')) {
            result += next == u'n' ? u'\n' : next == u'r' ? u'\r' : next == u't' ? u'\t' : u'\\';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

QString escape(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\') {
            result += u"\\\\";
        } else if (c == u'\n') {
            result += u"\\n";
        } else if (c == u'\r') {
            result += u"\\r";  // a bare one at the end of a line would read as a line break
        } else if (c == u'\t') {
            result += u"\\t";
        } else {
            result += c;
        }
    }
    return result;
}

std::optional<std::pair<int, QString>> parse_string_line(const QByteArray& line) {
    const qsizetype tab = line.indexOf('\t');
    const std::optional<int> id = tab < 0 ? std::nullopt : parse_decimal_int(line.left(tab));
    if (!id) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(line.mid(tab + 1));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return std::pair{*id, unescape(text)};
}

}  // namespace

QString bitmap_entry_name(const QString& name) {
    return QStringLiteral("bitmaps/") + name + QStringLiteral(".png");
}

QString wave_entry_name(const QString& name) {
    return QStringLiteral("waves/") + name + QStringLiteral(".wav");
}

std::optional<QImage> decode_bitmap(const QByteArray& bytes, QSize limit) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImageReader::setAllocationLimit(kImageAllocationLimitMegabytes);
    const QSize declared = reader.size();
    if (declared.isValid() && !fits_bitmap_limit(declared, limit)) {
        return std::nullopt;
    }
    QImage image = reader.read();
    if (image.isNull() || !fits_bitmap_limit(image.size(), limit)) {
        return std::nullopt;
    }
    return image;
}

bool looks_like_wave(const QByteArray& bytes) {
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE";
}

StringTable parse_string_table(const QByteArray& utf8) {
    StringTable table;
    const QList<QByteArray> lines = utf8.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (i == 0 && line.startsWith("\xEF\xBB\xBF")) {
            line.remove(0, 3);
        }
        if (line.isEmpty()) {
            continue;
        }
        if (auto entry = parse_string_line(line)) {
            table.strings.emplace(entry->first, std::move(entry->second));
        } else {
            table.malformed_lines.push_back(int(i + 1));
        }
    }
    return table;
}

QByteArray format_string_table(const std::map<int, QString>& strings) {
    QByteArray text;
    for (const auto& [id, string] : strings) {
        text += QByteArray::number(id) + '\t' + escape(string).toUtf8() + '\n';
    }
    return text;
}
