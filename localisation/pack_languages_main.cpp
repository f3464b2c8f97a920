// quorvel-pack-languages library ENGLISH.txt GERMAN.txt OUTPUT
//     packs the two text sources ("ID<TAB>TEXT" lines, "#" comments) into the language
//     library OUTPUT: English text n as string n, German text n as string n + 2000.
// quorvel-pack-languages encode SOURCE.txt OUTPUT
//     writes the UTF-8 text SOURCE as an encoded text file (Latin-1 codes, see encoded_text.h).
#include "localisation/encoded_text.h"
#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>

namespace {

constexpr int kGermanBase = 2000;
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
    if (id < 1 || id >= kGermanBase) {
        fail(where + QStringLiteral(": id %1 is outside 1 to %2").arg(id).arg(kGermanBase - 1));
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

// Every id needs a text in both languages, or one language would show empty captions.
bool same_ids(const Texts& english, const Texts& german) {
    bool same = true;
    for (const auto& [id, text] : english) {
        if (!german.contains(id)) {
            fail(QStringLiteral("id %1 has an English text but no German one").arg(id));
            same = false;
        }
    }
    for (const auto& [id, text] : german) {
        if (!english.contains(id)) {
            fail(QStringLiteral("id %1 has a German text but no English one").arg(id));
            same = false;
        }
    }
    return same;
}

bool pack_library(const QString& english_path, const QString& german_path,
                  const QString& output) {
    const std::optional<Texts> english = read_texts(english_path);
    const std::optional<Texts> german = read_texts(german_path);
    if (!english || !german || !same_ids(*english, *german)) {
        return false;
    }
    ResourceModuleWriter writer;
    for (const auto& [id, text] : *english) {
        writer.add_string(id, text);
    }
    for (const auto& [id, text] : *german) {
        writer.add_string(id + kGermanBase, text);
    }
    if (!writer.write(output)) {
        fail(QStringLiteral("cannot write %1").arg(output));
        return false;
    }
    return true;
}

bool pack_encoded_text(const QString& source_path, const QString& output) {
    const std::optional<QString> source = read_utf8(source_path);
    if (!source) {
        return false;
    }
    QByteArray encoded;
    const QStringList lines = lines_of(*source);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        try {
            encoded += encode_line(lines[i]).toLatin1() + '\n';
        } catch (const std::invalid_argument& error) {
            fail(QStringLiteral("%1:%2: %3").arg(source_path).arg(i + 1).arg(error.what()));
            return false;
        }
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
    if (args.size() == 4 && args[0] == u"library") {
        return pack_library(args[1], args[2], args[3]) ? 0 : 1;
    }
    if (args.size() == 3 && args[0] == u"encode") {
        return pack_encoded_text(args[1], args[2]) ? 0 : 1;
    }
    fail(QStringLiteral("usage: quorvel-pack-languages library ENGLISH.txt GERMAN.txt OUTPUT\n"
                        "       quorvel-pack-languages encode SOURCE.txt OUTPUT"));
    return 2;
}
