#include "platform/resource_format.h"
#include "platform/resource_module.h"

#include <QBuffer>
#include <QSaveFile>

#include <zip.h>

namespace {

struct SourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceDeleter>;

QByteArray encode_png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? png : QByteArray();
}

bool add_entry(zip* archive, const QString& name, const QByteArray& bytes) {
    zip_source_t* source =
        zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    if (!source) {
        return false;
    }
    if (zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

QByteArray read_whole_source(zip_source_t* source) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || zip_source_open(source) != 0) {
        return {};
    }
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t got = zip_source_read(source, bytes.data(), zip_uint64_t(bytes.size()));
    zip_source_close(source);
    return got == zip_int64_t(bytes.size()) ? bytes : QByteArray();
}

// libzip removes an archive that ends up empty, so that one is written by hand: the end
// record of a ZIP with no entries.
QByteArray empty_archive() {
    QByteArray end_record(22, '\0');
    end_record.replace(0, 4, "PK\5\6");
    return end_record;
}

// The archive is built in memory; the bytes are only ever seen by a reader once complete.
QByteArray build_archive(const std::map<QString, QByteArray>& entries) {
    if (entries.empty()) {
        return empty_archive();
    }
    const SourceHandle memory(zip_source_buffer_create(nullptr, 0, 0, nullptr));
    if (!memory) {
        return {};
    }
    zip_source_keep(memory.get());  // the archive frees its reference on close; we keep ours
    zip* archive = zip_open_from_source(memory.get(), ZIP_TRUNCATE, nullptr);
    if (!archive) {
        zip_source_free(memory.get());
        return {};
    }
    for (const auto& [name, bytes] : entries) {
        if (!add_entry(archive, name, bytes)) {
            zip_discard(archive);
            return {};
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return {};
    }
    return read_whole_source(memory.get());
}

}  // namespace

void ResourceModuleWriter::add_bitmap(const QString& name, const QImage& image) {
    const QByteArray png = encode_png(image);
    if (png.isEmpty()) {
        unencodable_bitmaps_ = true;
    } else {
        entries_[bitmap_entry_name(name)] = png;
    }
}

void ResourceModuleWriter::add_wave(const QString& name, const QByteArray& wav_bytes) {
    entries_[wave_entry_name(name)] = wav_bytes;
}

void ResourceModuleWriter::add_string(int id, const QString& text) {
    strings_[id] = text;
}

bool ResourceModuleWriter::write(const QString& path) const {
    if (unencodable_bitmaps_) {
        return false;
    }
    std::map<QString, QByteArray> entries = entries_;
    if (!strings_.empty()) {
        entries[QString::fromLatin1(kStringTableEntry)] = format_string_table(strings_);
    }
    const QByteArray archive = build_archive(entries);
    QSaveFile file(path);
    return !archive.isEmpty() && file.open(QIODevice::WriteOnly) &&
           file.write(archive) == archive.size() && file.commit();
}
