#include "localisation/encoded_text.h"

#include <stdexcept>

namespace {

constexpr qsizetype kQuotedTokenLength = 24;

std::string quoted(const QString& token) {
    const QString shown = token.size() > kQuotedTokenLength
                              ? token.left(kQuotedTokenLength) + QStringLiteral("...")
                              : token;
    return "\"" + shown.toStdString() + "\"";
}

}  // namespace

QString decode_line(const QString& line) {
    QString result;
    qsizetype from = 0;
    while (from < line.size()) {
        const qsizetype blank = line.indexOf(u' ', from);
        if (blank < 0) {
            throw std::runtime_error("encoded text: the code " + quoted(line.mid(from)) +
                                     " is not followed by a blank");
        }
        const QString token = line.mid(from, blank + 1 - from).trimmed();
        bool is_number = false;
        const int code = token.toInt(&is_number, 10);
        if (!is_number) {
            throw std::runtime_error("encoded text: " + quoted(token) + " is not a number");
        }
        result += QChar(char16_t(code & 0xFF));
        from = blank + 1;
    }
    return result;
}

QString encode_line(const QString& text) {
    QString result;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            throw std::invalid_argument("encoded text: " + quoted(QString(c)) +
                                        " is not a Latin-1 character");
        }
        result += QString::number(static_cast<signed char>(c.unicode())) + u' ';
    }
    return result;
}
