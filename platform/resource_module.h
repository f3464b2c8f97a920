#pragma once

#include "platform/resource_format.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <optional>

struct zip;

// A resource module: a ZIP container that holds bitmaps ("bitmaps/NAME.png"), waves
// ("waves/NAME.wav") and a string table ("strings.txt", one "ID<TAB>TEXT" per line).
// Style files ("*.lvr") and the language library ("languages.dll") are resource modules.
class ResourceModule {
public:
    // Opens a file named relative to the working directory, or else to the shipped folder; the
    // name matches without regard to letter case. Returns nullptr when no such file exists or
    // it is no readable container.
    static std::unique_ptr<ResourceModule> open(const QString& file_name);
    ~ResourceModule();

    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // Each returns nothing when the resource is missing, oversized or undecodable.
    std::optional<QImage> bitmap(const QString& name, QSize limit = {kMaxBitmapSide, kMaxBitmapSide}) const;
    std::optional<QByteArray> wave(const QString& name) const;
    std::optional<QString> string(int id) const;

    QString file_path() const;

private:
    ResourceModule(zip* archive, QString path, std::map<int, QString> strings);

    zip* archive_;
    QString path_;
    std::map<int, QString> strings_;
};

// Packs bitmaps, waves and strings into a resource module file.
class ResourceModuleWriter {
public:
    void add_bitmap(const QString& name, const QImage& image);
    void add_wave(const QString& name, const QByteArray& wav_bytes);
    void add_string(int id, const QString& text);

    // Writes the container; false (and no file left behind) when it cannot be written.
    bool write(const QString& path) const;

private:
    std::map<QString, QByteArray> entries_;   // entry name in the container -> bytes
    std::map<int, QString> strings_;
    bool unencodable_bitmaps_ = false;
};
