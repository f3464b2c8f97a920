#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
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

    // Pictures are decoded once and kept; nothing when the module lacks the name.
    std::optional<QPixmap> picture(const QString& name);
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
};
