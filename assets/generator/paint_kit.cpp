#include "paint_kit.h"

#include <QFont>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

namespace {
constexpr int kSupersample = 4;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    const auto blend = [t](double x, double y) { return std::clamp(x + (y - x) * t, 0.0, 1.0); };
    return QColor::fromRgbF(static_cast<float>(blend(a.redF(), b.redF())),
                            static_cast<float>(blend(a.greenF(), b.greenF())),
                            static_cast<float>(blend(a.blueF(), b.blueF())),
                            static_cast<float>(blend(a.alphaF(), b.alphaF())));
}

QColor with_alpha(const QColor& c, int alpha) {
    QColor result = c;
    result.setAlpha(alpha);
    return result;
}

QImage render_picture(QSize size, int scale, const std::function<void(QPainter&)>& paint,
                      bool transparent) {
    const QSize pixels = size * scale;
    QImage large(pixels * kSupersample, QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    {
        QPainter painter(&large);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(kSupersample * scale, kSupersample * scale);
        paint(painter);
    }
    const QImage small = large.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.convertToFormat(transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QFont lettering_font(double pixel_size, int weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(pixel_size + 0.5)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QPainterPath star_path(int points, double outer, double inner, double turn_degrees) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = qDegreesToRadians(turn_degrees + 180.0 * i / points);
        const QPointF point(radius * std::sin(angle), -radius * std::cos(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}
