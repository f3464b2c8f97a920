#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

struct StyleLook;
struct StyleSounds;

struct NamedPicture {
    QString name;
    QImage image;
};

// Every bitmap of a style module, drawn in full colour with the look's painters at `scale` times
// its pixels, named for that scale.
std::vector<NamedPicture> style_pictures(const StyleLook& look, int scale);

// The name HiDPI screens look for a picture drawn at `scale` by: "empty", "empty@2x".
QString name_at_scale(const QString& name, int scale);

// The same pictures on one shared 256-colour palette, as 8-bit indexed images.
std::vector<NamedPicture> low_colour_pictures(const std::vector<NamedPicture>& full_colour);

// Writes a style module with the pictures, the three sounds and the layout strings; string 4
// (the colour depth the style is drawn for) only when `drawn_for_depth` is given.
bool write_style_module(const QString& path, const std::vector<NamedPicture>& pictures,
                        const StyleSounds& sounds, std::optional<int> drawn_for_depth);
