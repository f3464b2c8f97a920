#include "picture_checks.h"

#include "style_contract.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdlib>

namespace {

// Copies the generated file into the style's own temporary working directory and opens it
// from there by its plain name, as the program does.
void open_from_working_directory(LoadedStyle& style, const QString& file_name) {
    style.working_directory = std::make_unique<QTemporaryDir>();
    const QString copy = style.working_directory->filePath(file_name);
    if (!style.working_directory->isValid() ||
        !QFile::copy(QDir(QStringLiteral(QUORVEL_GAME_DIR)).filePath(file_name), copy))
        return;
    const QString before = QDir::currentPath();
    QDir::setCurrent(style.working_directory->path());
    style.module = ResourceModule::open(file_name);
    QDir::setCurrent(before);
}

}  // namespace

const LoadedStyle& standard_style(const char* file_name) {
    static std::map<QString, LoadedStyle> loaded;
    const QString name = QString::fromUtf8(file_name);
    auto found = loaded.find(name);
    if (found != loaded.end())
        return found->second;
    LoadedStyle style;
    open_from_working_directory(style, name);
    if (style.module) {
        for (const ExpectedBitmap& expected : expected_bitmaps())
            if (std::optional<QImage> image = style.module->bitmap(expected.name))
                style.bitmaps[expected.name] = *image;
    }
    return loaded.emplace(name, std::move(style)).first->second;
}

QColor mean_colour(const QImage& picture, const QRect& area) {
    double red = 0;
    double green = 0;
    double blue = 0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            ++count;
        }
    if (count == 0)
        return {};
    return QColor(qRound(red / count), qRound(green / count), qRound(blue / count));
}

double colour_distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

int pixels_differing(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance ||
                std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++count;
        }
    return count;
}
