#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <functional>

// Embossed symbol that every stone colour carries, so the colours can be told apart by shape.
enum class Mark { Dot, Triangle, Square, Ring, Diamond, Cross, Star };

struct StoneColour {
    const char* word;  // resource name prefix: "red", "green", ...
    QRgb base;
    Mark mark;
};

inline constexpr std::array<StoneColour, 7> kStoneColours{{
    {"red", 0xe0302c, Mark::Dot},
    {"green", 0x2fae3c, Mark::Triangle},
    {"blue", 0x2b4fe0, Mark::Square},
    {"yellow", 0xf5cc1f, Mark::Ring},
    {"lblue", 0x38d0f0, Mark::Diamond},
    {"black", 0x34353c, Mark::Cross},
    {"purple", 0xa236d6, Mark::Star},
}};

inline constexpr int kFieldSize = 40;
inline constexpr double kStoneRadius = 15.5;  // radius of a resting stone on a 40-pixel field

QColor mix(const QColor& a, const QColor& b, double t);
QColor with_alpha(const QColor& c, int alpha);

// Draws with `paint` in picture coordinates at four times the pixels and scales down smoothly,
// which gives clean edges on small shapes. The picture is `size` times `scale` pixels: at scale 2
// the same painting fills twice the pixels each way, for screens with two pixels per point.
// The result is opaque unless `transparent` is set.
QImage render_picture(QSize size, int scale, const std::function<void(QPainter&)>& paint,
                      bool transparent = false);

// The regular font for lettering; DejaVu is installed with the build tools.
QFont lettering_font(double pixel_size, int weight);

// A star of `points` points around the origin; the first point is turned `turn_degrees` from up.
QPainterPath star_path(int points, double outer, double inner, double turn_degrees);
