#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class ResourceModule;

// Style files end in ".lvr"; two standard styles come with the game.
inline const QString kStyleExtension = QStringLiteral(".lvr");
inline const QString kHighColourStyle = QStringLiteral("standard highcolor.lvr");
inline const QString kLowColourStyle = QStringLiteral("standard lowcolor.lvr");

// A style is named by a bare file name ending in ".lvr", found in the game folder; a path could
// load a module from anywhere.
bool is_style_file_name(const QString& name);

// A picture's size in the layout's pixels, whatever its device pixel ratio.
QSize logical_size(const QPixmap& picture);

// The graphic style module that is current: every picture, sound and layout number of the game.
// On a screen whose device pixel ratio is above 1, a picture comes from its "NAME@2x" entry where
// the module has one of exactly twice the size, and carries a device pixel ratio of 2.
class GraphicStyle {
public:
    static constexpr int kDefaultFieldSize = 40;
    static constexpr int kDefaultDigitHeight = 45;
    static constexpr int kDefaultDigitWidth = 30;

    // Nothing when the file is missing or no resource module.
    static std::unique_ptr<GraphicStyle> open(const QString& file_name, qreal device_pixel_ratio);
    GraphicStyle(std::unique_ptr<ResourceModule> module, qreal device_pixel_ratio);
    ~GraphicStyle();

    // Pictures are decoded once and kept; nothing when the module lacks the name, or when the
    // picture is larger than its role allows or would take the style past its budget. A @2x
    // picture that would pass the budget gives way to the plain one.
    std::optional<QPixmap> picture(const QString& name);

    // The largest picture a role takes, measured in the style's own layout numbers.
    QSize picture_limit(const QString& name) const;
    // What the decoded pictures of one style may take together.
    static constexpr qint64 kDecodedBudgetBytes = 48 * 1024 * 1024;
    std::optional<QByteArray> wave(const QString& name) const;

    int field_size() const;    // string 1
    int digit_height() const;  // string 2
    int digit_width() const;   // string 3
    // String 4 as the module writes it: the colour depth its pictures are drawn for.
    std::optional<QString> drawn_for_depth() const;
    QString file_path() const;

private:
    int layout_number(int id, int fallback) const;
    std::optional<QImage> sharp_picture(const QString& name, QSize plain_size) const;
    bool within_budget(const QImage& image) const;

    std::unique_ptr<ResourceModule> module_;
    bool wants_sharp_pictures_;
    QHash<QString, QPixmap> pictures_;
    qint64 decoded_bytes_ = 0;
};
