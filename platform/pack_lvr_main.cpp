// quorvel-pack OUTPUT.lvr FOLDER: packs FOLDER/bitmaps/*.<picture>, FOLDER/waves/*.wav and
// FOLDER/strings.txt into the resource module OUTPUT.lvr.
#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <cstdio>
#include <map>

namespace {

void say(FILE* stream, const QString& text) {
    std::fputs(qPrintable(text + u'\n'), stream);
}

// Whole file, or nothing when it cannot be read or is larger than `limit`.
std::optional<QByteArray> read_file(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit) {
        return std::nullopt;
    }
    return file.readAll();
}

QStringList picture_patterns() {
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    }
    return patterns;
}

// A "NAME@2x" picture is drawn for screens of twice the scale: the game takes it only beside a
// NAME picture and at exactly twice its size, so anything else is an error here.
bool check_sharp_pictures(const std::map<QString, QImage>& pictures) {
    const QString suffix = QStringLiteral("@2x");
    for (const auto& [name, image] : pictures) {
        if (!name.endsWith(suffix)) continue;
        const auto plain = pictures.find(name.chopped(suffix.size()));
        if (plain == pictures.end()) {
            say(stderr, QStringLiteral("error: %1 has no picture %2 beside it").arg(name, name.chopped(suffix.size())));
            return false;
        }
        if (image.size() != plain->second.size() * 2) {
            say(stderr, QStringLiteral("error: %1 is %2 x %3 pixels; it must be twice %4, %5 x %6")
                            .arg(name).arg(image.width()).arg(image.height()).arg(plain->first)
                            .arg(2 * plain->second.width()).arg(2 * plain->second.height()));
            return false;
        }
    }
    return true;
}

// Each returns the number of resources packed, or nothing after printing an error.
std::optional<int> pack_bitmaps(const QDir& folder, ResourceModuleWriter& writer) {
    std::map<QString, QImage> pictures;
    const QFileInfoList files = folder.entryInfoList(picture_patterns(), QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const std::optional<QByteArray> bytes = read_file(file.filePath(), kMaxResourceBytes);
        const std::optional<QImage> image = bytes ? decode_bitmap(*bytes) : std::nullopt;
        const QString name = file.completeBaseName();
        if (!image) {
            say(stderr, QStringLiteral("error: %1 is not a readable picture of at most %2 x %2 "
                                       "pixels and %3 bytes")
                            .arg(file.filePath()).arg(kMaxBitmapSide).arg(kMaxResourceBytes));
            return std::nullopt;
        }
        if (!pictures.emplace(name, *image).second) {
            say(stderr, QStringLiteral("error: two pictures are named %1").arg(name));
            return std::nullopt;
        }
        say(stdout, QStringLiteral("bitmap %1 (%2 x %3) from %4")
                        .arg(name).arg(image->width()).arg(image->height()).arg(file.fileName()));
    }
    if (!check_sharp_pictures(pictures)) return std::nullopt;
    for (const auto& [name, image] : pictures) writer.add_bitmap(name, image);
    return int(pictures.size());
}

std::optional<int> pack_waves(const QDir& folder, ResourceModuleWriter& writer) {
    int count = 0;
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const std::optional<QByteArray> bytes = read_file(file.filePath(), kMaxResourceBytes);
        if (!bytes || !looks_like_wave(*bytes)) {
            say(stderr, QStringLiteral("error: %1 is not a readable RIFF WAVE file of at most %2 "
                                       "bytes")
                            .arg(file.filePath()).arg(kMaxResourceBytes));
            return std::nullopt;
        }
        const QString name = file.completeBaseName();
        writer.add_wave(name, *bytes);
        say(stdout, QStringLiteral("wave %1 (%2 bytes)").arg(name).arg(bytes->size()));
        ++count;
    }
    return count;
}

std::optional<int> pack_strings(const QString& path, ResourceModuleWriter& writer) {
    if (!QFile::exists(path)) {
        return 0;
    }
    const std::optional<QByteArray> text = read_file(path, kMaxStringTableBytes);
    if (!text) {
        say(stderr, QStringLiteral("error: cannot read %1 of at most %2 bytes")
                        .arg(path).arg(kMaxStringTableBytes));
        return std::nullopt;
    }
    const StringTable table = parse_string_table(*text);
    for (const int line : table.malformed_lines) {
        say(stderr, QStringLiteral("warning: %1 line %2 is not ID<TAB>TEXT in UTF-8, skipped")
                        .arg(path).arg(line));
    }
    for (const auto& [id, string] : table.strings) {
        writer.add_string(id, string);
    }
    say(stdout, QStringLiteral("%1 strings").arg(table.strings.size()));
    return int(table.strings.size());
}

std::optional<int> pack_folder(const QDir& folder, ResourceModuleWriter& writer) {
    const std::optional<int> bitmaps =
        pack_bitmaps(QDir(folder.filePath(QStringLiteral("bitmaps"))), writer);
    if (!bitmaps) {
        return std::nullopt;
    }
    const std::optional<int> waves =
        pack_waves(QDir(folder.filePath(QStringLiteral("waves"))), writer);
    if (!waves) {
        return std::nullopt;
    }
    const std::optional<int> strings =
        pack_strings(folder.filePath(QString::fromLatin1(kStringTableEntry)), writer);
    if (!strings) {
        return std::nullopt;
    }
    return *bitmaps + *waves + *strings;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        say(stderr, QStringLiteral("usage: quorvel-pack OUTPUT.lvr FOLDER"));
        return 2;
    }
    const QString output = arguments[1];
    const QDir folder(arguments[2]);
    if (!folder.exists()) {
        say(stderr, QStringLiteral("error: no folder %1").arg(folder.path()));
        return 1;
    }
    ResourceModuleWriter writer;
    const std::optional<int> packed = pack_folder(folder, writer);
    if (!packed) {
        return 1;
    }
    if (*packed == 0) {
        say(stderr, QStringLiteral("error: nothing to pack in %1 (bitmaps/, waves/, strings.txt)")
                        .arg(folder.path()));
        return 1;
    }
    if (!writer.write(output)) {
        say(stderr, QStringLiteral("error: cannot write %1").arg(output));
        return 1;
    }
    say(stdout, QStringLiteral("wrote %1").arg(output));
    return 0;
}
