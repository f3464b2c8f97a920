#include "platform/resource_module.h"

#include "platform/game_files.h"
#include "platform/resource_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

namespace {

// The exact name when that file exists, otherwise the first file in the same folder whose
// name differs only in letter case.
std::optional<QString> find_file_ignoring_case(const QString& file_name) {
    const QFileInfo wanted(file_name);
    if (wanted.isFile()) {
        return wanted.absoluteFilePath();
    }
    const QDir folder = wanted.dir();
    const QStringList candidates = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& candidate : candidates) {
        if (candidate.compare(wanted.fileName(), Qt::CaseInsensitive) == 0) {
            return QFileInfo(folder, candidate).absoluteFilePath();
        }
    }
    return std::nullopt;
}

// Reads one entry whole. Nothing when it is missing, larger than `limit`, unreadable, or when
// its data does not match the sizes and checksum declared for it: a lying size never makes us
// read more than `limit` + 1 bytes.
std::optional<QByteArray> read_entry(zip* archive, const QString& entry_name, qint64 limit) {
    const zip_int64_t index = zip_name_locate(archive, entry_name.toUtf8().constData(), 0);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(limit)) {
        return std::nullopt;
    }
    const std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen_index(archive, zip_uint64_t(index), 0), &zip_fclose);
    if (!file) {
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + filled,
                                          zip_uint64_t(bytes.size() - filled));
        if (got <= 0) {
            return std::nullopt;
        }
        filled += qsizetype(got);
    }
    // The end of the data is where the checksum is compared; more data means the size lied.
    char beyond_declared_size = 0;
    if (zip_fread(file.get(), &beyond_declared_size, 1) != 0) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::unique_ptr<ResourceModule> ResourceModule::open(const QString& file_name) {
    std::optional<QString> path = find_file_ignoring_case(file_name);
    if (!path && !shipped_folder().isEmpty() && QDir::isRelativePath(file_name)) {
        path = find_file_ignoring_case(QDir(shipped_folder()).filePath(file_name));
    }
    if (!path) {
        return nullptr;
    }
    int error = 0;
    zip* archive = zip_open(QFile::encodeName(*path).constData(), ZIP_RDONLY | ZIP_CHECKCONS,
                            &error);
    if (!archive) {
        return nullptr;
    }
    const std::optional<QByteArray> table =
        read_entry(archive, QString::fromLatin1(kStringTableEntry), kMaxStringTableBytes);
    std::map<int, QString> strings = table ? parse_string_table(*table).strings
                                           : std::map<int, QString>{};
    return std::unique_ptr<ResourceModule>(
        new ResourceModule(archive, *path, std::move(strings)));
}

ResourceModule::ResourceModule(zip* archive, QString path, std::map<int, QString> strings)
    : archive_(archive), path_(std::move(path)), strings_(std::move(strings)) {}

ResourceModule::~ResourceModule() {
    zip_discard(archive_);
}

std::optional<QImage> ResourceModule::bitmap(const QString& name, QSize limit) const {
    const std::optional<QByteArray> bytes =
        read_entry(archive_, bitmap_entry_name(name), kMaxResourceBytes);
    return bytes ? decode_bitmap(*bytes, limit) : std::nullopt;
}

std::optional<QByteArray> ResourceModule::wave(const QString& name) const {
    std::optional<QByteArray> bytes =
        read_entry(archive_, wave_entry_name(name), kMaxResourceBytes);
    if (bytes && !looks_like_wave(*bytes)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> ResourceModule::string(int id) const {
    const auto found = strings_.find(id);
    if (found == strings_.end()) {
        return std::nullopt;
    }
    return found->second;
}

QString ResourceModule::file_path() const {
    return path_;
}
