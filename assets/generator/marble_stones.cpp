#include "marbles_art.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace {

constexpr double R = kStoneRadius;

// In the order of kStoneColours.
constexpr std::array<QRgb, 7> kGlassColours{0xe8182e, 0x18a848, 0x1c48e0, 0xffb400,
                                            0x30c4f4, 0x2a2a38, 0x9428cc};

// Fine grain lines across a wooden surface.
void draw_grain(QPainter& painter, const QRectF& area, double shade) {
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(with_alpha(marble_wood(shade + 0.35), 60), 0.6));
    for (double y = area.top() + 2.0; y < area.bottom(); y += 3.7)
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y + 0.8));
    painter.restore();
}

// A glass sphere: see-through colour, darker at the rim, with light focused at the bottom.
void draw_glass(QPainter& painter, const QColor& base) {
    QRadialGradient body(QPointF(0.1 * R, 0.35 * R), 1.15 * R);
    body.setColorAt(0.0, mix(base, Qt::white, 0.45));
    body.setColorAt(0.55, base);
    body.setColorAt(1.0, mix(base, Qt::black, 0.6));
    painter.setPen(QPen(with_alpha(mix(base, Qt::black, 0.75), 200), 0.7));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(0, 0), R, R);
}

// A small sharp window reflection and a soft one opposite: the marks of glass.
void draw_glints(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(QRectF(-0.62 * R, -0.7 * R, 0.34 * R, 0.26 * R), 1.5, 1.5);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(QPointF(0.42 * R, 0.5 * R), 0.22 * R, 0.13 * R);
}

}  // namespace

QColor marble_wood(double shade) {
    return mix(QColor(0xe6, 0xb8, 0x7a), QColor(0x5a, 0x30, 0x14), shade);
}

void draw_wood(QPainter& painter, const QRectF& area, double shade) {
    QLinearGradient light(area.topLeft(), area.bottomRight());
    light.setColorAt(0.0, marble_wood(shade - 0.08));
    light.setColorAt(1.0, marble_wood(shade + 0.12));
    painter.fillRect(area, light);
    draw_grain(painter, area, shade);
}

void draw_marble_field(QPainter& painter) {
    const QRectF field(0, 0, kFieldSize, kFieldSize);
    draw_wood(painter, field, 0.05);
    const QPointF centre = field.center();
    QRadialGradient hollow(centre + QPointF(-2, -2), R + 2.5);
    hollow.setColorAt(0.0, marble_wood(0.2));
    hollow.setColorAt(0.75, marble_wood(0.38));
    hollow.setColorAt(1.0, marble_wood(0.62));
    painter.setPen(QPen(with_alpha(Qt::white, 110), 1.0));
    painter.setBrush(hollow);
    painter.drawEllipse(centre, R + 1.5, R + 1.5);
}

StoneBody marble_body(std::size_t colour) {
    return [colour](QPainter& painter) {
        const QColor base = QColor::fromRgb(kGlassColours.at(colour));
        draw_glass(painter, base);
        painter.save();
        painter.scale(1.25, 1.25);
        painter.setPen(QPen(with_alpha(mix(base, Qt::black, 0.5), 160), 0.6));
        painter.setBrush(QColor(255, 252, 240, 215));
        painter.drawPath(mark_path(kStoneColours.at(colour).mark));
        painter.restore();
        draw_glints(painter);
    };
}

StoneBody rainbow_marble() {
    return [](QPainter& painter) {
        QConicalGradient swirl(QPointF(0, 0), 90.0);
        for (std::size_t i = 0; i <= kGlassColours.size(); ++i)
            swirl.setColorAt(static_cast<double>(i) / kGlassColours.size(),
                             QColor::fromRgb(kGlassColours.at(i % kGlassColours.size())));
        painter.setPen(QPen(QColor(40, 20, 40, 200), 0.7));
        painter.setBrush(swirl);
        painter.drawEllipse(QPointF(0, 0), R, R);
        QRadialGradient depth(QPointF(0, 0), R);
        depth.setColorAt(0.0, QColor(255, 255, 255, 200));
        depth.setColorAt(0.35, QColor(255, 255, 255, 0));
        depth.setColorAt(1.0, QColor(0, 0, 0, 110));
        painter.setBrush(depth);
        painter.drawEllipse(QPointF(0, 0), R, R);
        draw_glints(painter);
    };
}

StoneBody wooden_ball() {
    return [](QPainter& painter) {
        QRadialGradient turned(QPointF(-0.3 * R, -0.35 * R), 1.3 * R);
        turned.setColorAt(0.0, QColor(0xf8, 0xe2, 0xb0));
        turned.setColorAt(0.6, QColor(0xd2, 0x98, 0x52));
        turned.setColorAt(1.0, QColor(0x7a, 0x46, 0x1c));
        painter.setPen(QPen(QColor(0x4a, 0x28, 0x0c), 0.7));
        painter.setBrush(turned);
        painter.drawEllipse(QPointF(0, 0), R, R);
        QPainterPath glyph;
        glyph.addText(0, 0, lettering_font(23, QFont::Black), QStringLiteral("?"));
        glyph.translate(-glyph.boundingRect().center() + QPointF(0, 0.5));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x3a, 0x1a, 0x06));
        painter.drawPath(glyph);
    };
}
