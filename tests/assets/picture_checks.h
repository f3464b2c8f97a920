#pragma once

#include "platform/resource_module.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <optional>

// One standard style as the program sees it: opened by its plain file name from the working
// directory (a temporary folder holding a copy of the generated file), its bitmaps decoded.
struct LoadedStyle {
    std::unique_ptr<QTemporaryDir> working_directory;
    std::unique_ptr<ResourceModule> module;  // nothing when the file could not be opened
    std::map<QString, QImage> bitmaps;  // every bitmap of the contract that could be read
};
const LoadedStyle& standard_style(const char* file_name);

QColor mean_colour(const QImage& picture, const QRect& area);
double colour_distance(const QColor& a, const QColor& b);

// Pixels whose colour differs from the other picture's by more than `tolerance` in a channel.
int pixels_differing(const QImage& a, const QImage& b, int tolerance);
