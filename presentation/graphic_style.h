#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class ResourceModule;

// A style is named by a bare file name ending in ".lvr", found in the game folder; a path could
// load a module from anywhere.
bool is_style_file_name(const QString& name);

// The graphic style module that is current: every picture, sound and layout number of the game.
class GraphicStyle {
public:
    static constexpr int kDefaultFieldSize = 40;
    static constexpr int kDefaultDigitHeight = 45;
    static constexpr int kDefaultDigitWidth = 30;

    // Nothing when the file is missing or no resource module.
    static std::unique_ptr<GraphicStyle> open(const QString& file_name);
    explicit GraphicStyle(std::unique_ptr<ResourceModule> module);
    ~GraphicStyle();

    // Pictures are decoded once and kept; nothing when the module lacks the name, or when the
    // picture is larger than its role allows or would take the style past its budget.
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

    std::unique_ptr<ResourceModule> module_;
    QHash<QString, QPixmap> pictures_;
    qint64 decoded_bytes_ = 0;
};
