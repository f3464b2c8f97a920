#include "platform/ini_text.h"

#include <QCryptographicHash>
#include <QList>

#include <optional>

namespace {

const QByteArray kByteArrayPrefix = "@ByteArray(";
const QString kStringPrefix = "@String(";  // how QSettings writes a text that holds a zero byte
// A comment to every other reader: QSettings and older versions drop it when they rewrite the file.
const QByteArray kCheckLead = "; Checked when read: ";

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char control_for(char letter) {
    switch (letter) {
        case 'a': return '\a';
        case 'b': return '\b';
        case 'f': return '\f';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        case 'v': return '\v';
        default: return letter;  // \" \' \? \\ \; \, \= and unknown escapes stand for the character
    }
}

// Reads digits of `base` from `at` on and returns their value; `at` ends past them.
uint read_number(const QString& text, qsizetype& at, int base) {
    uint value = 0;
    while (at < text.size()) {
        const char c = text[at].toLatin1();
        const int digit = base == 16 ? (is_hex_digit(c) ? QByteArray(1, c).toInt(nullptr, 16) : -1)
                                     : (c >= '0' && c <= '7' ? c - '0' : -1);
        if (digit < 0) break;
        value = value * base + digit;
        ++at;
    }
    return value;
}

// The value text after '=': quotes group, blanks outside quotes at either end are dropped.
QString unescape_value(const QString& raw) {
    QString result;
    bool quoted = false;
    qsizetype kept_length = 0;  // up to the last character that is no unquoted blank
    for (qsizetype i = 0; i < raw.size();) {
        const QChar c = raw[i++];
        if (c == u'"') {
            quoted = !quoted;
            kept_length = result.size();
        } else if (c == u'\\' && i < raw.size()) {
            const char e = raw[i].toLatin1();
            if (e == 'x') {
                ++i;
                result += QChar(char16_t(read_number(raw, i, 16) & 0xFFFF));
            } else if (e >= '0' && e <= '7') {
                result += QChar(char16_t(read_number(raw, i, 8) & 0xFFFF));
            } else {
                result += e ? QChar(char16_t(static_cast<unsigned char>(control_for(e)))) : raw[i];
                ++i;
            }
            kept_length = result.size();
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (!result.isEmpty()) result += c;
        } else {
            result += c;
            kept_length = result.size();
        }
    }
    result.truncate(kept_length);
    return result;
}

// The text between `prefix` and a closing bracket, when `text` is so wrapped.
std::optional<QString> wrapped(const QString& text, const QString& prefix) {
    if (!text.startsWith(prefix) || !text.endsWith(u')')) return std::nullopt;
    return text.mid(prefix.size(), text.size() - prefix.size() - 1);
}

StoredValue stored_value(const QString& text) {
    if (const auto bytes = wrapped(text, QString::fromLatin1(kByteArrayPrefix))) return {bytes->toLatin1(), true};
    if (const auto string = wrapped(text, kStringPrefix)) return {string->toLatin1(), false};
    return {(text.startsWith(u"@@") ? text.mid(1) : text).toLatin1(), false};
}

// Quoted always; backslash, quote and every byte outside printable ASCII escaped, and a hex
// digit right after a hex escape escaped too, since the escape would swallow it.
void append_escaped(QByteArray& out, const QByteArray& bytes) {
    out += '"';
    bool after_hex_escape = false;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
            after_hex_escape = false;
        } else if (byte < 0x20 || byte >= 0x7F || (after_hex_escape && is_hex_digit(c))) {
            out += "\\x" + QByteArray::number(byte, 16);
            after_hex_escape = true;
        } else {
            out += c;
            after_hex_escape = false;
        }
    }
    out += '"';
}

QByteArray write_groups(const StoreGroups& groups) {
    QByteArray out;
    for (const auto& [group, values] : groups) {
        if (values.empty()) continue;
        if (!out.isEmpty()) out += '\n';
        out += "[" + group.toUtf8() + "]\n";
        for (const auto& [name, value] : values) {
            out += name.toUtf8() + "=";
            if (value.binary)
                append_escaped(out, kByteArrayPrefix + value.bytes + ")");
            else
                append_escaped(out, value.bytes.startsWith('@') ? "@" + value.bytes : value.bytes);
            out += '\n';
        }
    }
    return out;
}

// The first line of what write_ini writes: the length and hash of the text after it.
QByteArray check_line(const QByteArray& rest) {
    const QByteArray hash = QCryptographicHash::hash(rest, QCryptographicHash::Sha256).toHex().left(16);
    return kCheckLead + QByteArray::number(rest.size()) + " bytes follow, SHA-256 " + hash +
           ". Delete this line after editing by hand.";
}

// A text that begins with a check line must be what the line says follows it, so a store cut short
// at any point shows; a text without one (QSettings', an older version's, one written by hand) is
// taken as it is.
bool fails_its_check(const QByteArray& text) {
    const qsizetype line_end = text.indexOf('\n');
    const QByteArray first_line = line_end < 0 ? text : text.left(line_end);
    if (!first_line.startsWith(kCheckLead)) return !text.isEmpty() && kCheckLead.startsWith(text);
    return line_end < 0 || first_line != check_line(text.mid(line_end + 1));
}

}  // namespace

ParsedIni parse_ini(const QByteArray& text) {
    ParsedIni parsed;
    parsed.damaged = fails_its_check(text);
    QString group = "General";
    const QString decoded = QString::fromUtf8(text);
    for (QString line : decoded.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) {
            parsed.damaged = true;
            continue;
        }
        parsed.groups[group][line.left(equals).trimmed()] = stored_value(unescape_value(line.mid(equals + 1)));
    }
    return parsed;
}

QByteArray write_ini(const StoreGroups& groups) {
    const QByteArray text = write_groups(groups);
    return check_line(text) + '\n' + text;
}
