// quorvel-pack-languages library OUTPUT ENGLISH.txt OTHER.txt@BASE ...
//     packs the text sources ("ID<TAB>TEXT" lines, "#" comments) into the language library
//     OUTPUT: English text n as string n, the text n of each other source as string n + BASE.
// quorvel-pack-languages encode SOURCE.txt OUTPUT [CODE-PAGE]
//     writes the UTF-8 text SOURCE as an encoded text file: the codes of its characters in the
//     8-bit code page (ISO-8859-1 unless given, see encoded_text.h).
#include "localisation/encoded_text.h"
#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <map>
#include <optional>

namespace {

constexpr int kBlockSize = 2000;
constexpr qint64 kMaxSourceBytes = 1024 * 1024;

using Texts = std::map<int, QString>;

void fail(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("error: ") + text + u'\n'), stderr);
}

std::optional<QString> read_utf8(const QString& path) {
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.read(kMaxSourceBytes + 1)
                                                            : QByteArray();
    if (!file.isOpen() || bytes.size() > kMaxSourceBytes) {
        fail(QStringLiteral("cannot read %1 (at most %2 bytes)").arg(path).arg(kMaxSourceBytes));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        fail(QStringLiteral("%1 is not UTF-8").arg(path));
        return std::nullopt;
    }
    return text;
}

// The lines of a text, without the break that ends the last one.
QStringList lines_of(const QString& text) {
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return lines;
}

// One "ID<TAB>TEXT" line, read by the string table's own rules (escapes included).
bool add_text_line(const QString& where, const QString& line, Texts& texts) {
    const StringTable parsed = parse_string_table(line.toUtf8());
    if (parsed.strings.size() != 1) {
        fail(where + QStringLiteral(": expected ID<TAB>TEXT"));
        return false;
    }
    const auto& [id, text] = *parsed.strings.begin();
    if (id < 1 || id >= kBlockSize) {
        fail(where + QStringLiteral(": id %1 is outside 1 to %2").arg(id).arg(kBlockSize - 1));
        return false;
    }
    if (!texts.emplace(id, text).second) {
        fail(where + QStringLiteral(": id %1 appears twice").arg(id));
        return false;
    }
    return true;
}

std::optional<Texts> read_texts(const QString& path) {
    const std::optional<QString> source = read_utf8(path);
    if (!source) {
        return std::nullopt;
    }
    Texts texts;
    const QStringList lines = lines_of(*source);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString where = QStringLiteral("%1:%2").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (!add_text_line(where, line, texts)) {
            return std::nullopt;
        }
    }
    return texts;
}

// Every id needs a text in every language, or that language would show empty captions.
bool same_ids(const Texts& english, const Texts& other, const QString& other_path) {
    bool same = true;
    for (const auto& [id, text] : english) {
        if (!other.contains(id)) {
            fail(QStringLiteral("id %1 has an English text but none in %2").arg(id).arg(other_path));
            same = false;
        }
    }
    for (const auto& [id, text] : other) {
        if (!english.contains(id)) {
            fail(QStringLiteral("id %1 has a text in %2 but no English one").arg(id).arg(other_path));
            same = false;
        }
    }
    return same;
}

// "german.txt@2000": the source and the base of its block.
std::optional<std::pair<QString, int>> source_and_base(const QString& arg) {
    const qsizetype at = arg.lastIndexOf(u'@');
    bool number = false;
    const int base = at > 0 ? arg.sliced(at + 1).toInt(&number) : 0;
    if (!number || base <= 0 || base % kBlockSize != 0) {
        fail(QStringLiteral("%1: expected SOURCE.txt@BASE, BASE a multiple of %2").arg(arg).arg(kBlockSize));
        return std::nullopt;
    }
    return std::pair{arg.first(at), base};
}

bool pack_library(const QString& output, const QString& english_path, const QStringList& others) {
    const std::optional<Texts> english = read_texts(english_path);
    if (!english) {
        return false;
    }
    ResourceModuleWriter writer;
    for (const auto& [id, text] : *english) {
        writer.add_string(id, text);
    }
    for (const QString& other : others) {
        const auto source = source_and_base(other);
        const std::optional<Texts> texts = source ? read_texts(source->first) : std::nullopt;
        if (!texts || !same_ids(*english, *texts, source->first)) {
            return false;
        }
        for (const auto& [id, text] : *texts) {
            writer.add_string(id + source->second, text);
        }
    }
    if (!writer.write(output)) {
        fail(QStringLiteral("cannot write %1").arg(output));
        return false;
    }
    return true;
}

// The text as the characters of its code page's bytes, which encode_line writes as codes.
std::optional<QString> in_code_page(const QString& text, const QString& code_page) {
    QStringEncoder encoder(code_page.toLatin1().constData());
    if (!encoder.isValid()) {
        fail(QStringLiteral("unknown code page %1").arg(code_page));
        return std::nullopt;
    }
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return QString::fromLatin1(bytes);
}

bool pack_encoded_text(const QString& source_path, const QString& output, const QString& code_page) {
    const std::optional<QString> source = read_utf8(source_path);
    if (!source) {
        return false;
    }
    QByteArray encoded;
    const QStringList lines = lines_of(*source);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> line = in_code_page(lines[i], code_page);
        if (!line) {
            fail(QStringLiteral("%1:%2: a character that %3 cannot hold").arg(source_path).arg(i + 1).arg(code_page));
            return false;
        }
        encoded += encode_line(*line).toLatin1() + '\n';
    }
    QDir().mkpath(QFileInfo(output).absolutePath());
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(encoded) != encoded.size() ||
        !file.commit()) {
        fail(QStringLiteral("cannot write %1").arg(output));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i) {
            list << QString::fromLocal8Bit(argv[i]);
        }
        return list;
    }();
    if (args.size() >= 3 && args[0] == u"library") {
        return pack_library(args[1], args[2], args.sliced(3)) ? 0 : 1;
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == u"encode") {
        return pack_encoded_text(args[1], args[2], args.value(3, QStringLiteral("ISO-8859-1"))) ? 0 : 1;
    }
    fail(QStringLiteral("usage: quorvel-pack-languages library OUTPUT ENGLISH.txt OTHER.txt@BASE ...\n"
                        "       quorvel-pack-languages encode SOURCE.txt OUTPUT [CODE-PAGE]"));
    return 2;
}
