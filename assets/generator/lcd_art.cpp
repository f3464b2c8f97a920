#include "frame_art.h"

#include "paint_kit.h"

#include <QTransform>

#include <array>
#include <cstdint>

namespace {

constexpr QSize kDigitSize(30, 45);
constexpr double kLeft = 7.5;
constexpr double kRight = 22.5;
constexpr double kTop = 5.5;
constexpr double kMiddle = 22.5;
constexpr double kBottom = 39.5;
constexpr double kGap = 0.9;

// Lit segments of each digit, bit 0 = a (top) ... bit 6 = g (middle), clockwise from the top.
constexpr std::array<std::uint8_t, 10> kLitSegments{0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                                    0x6d, 0x7d, 0x07, 0x7f, 0x6f};

// A segment between two points, with pointed ends.
QPolygonF segment(QPointF from, QPointF to, double thickness) {
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    const double half = thickness / 2;
    const QPointF a = from + along * kGap;
    const QPointF b = to - along * kGap;
    return QPolygonF({a, a + (along + across) * half, b + (across - along) * half, b,
                      b - (along + across) * half, a + (along - across) * half});
}

std::array<QPolygonF, 7> segments(double t) {
    return {segment({kLeft, kTop}, {kRight, kTop}, t),         // a
            segment({kRight, kTop}, {kRight, kMiddle}, t),     // b
            segment({kRight, kMiddle}, {kRight, kBottom}, t),  // c
            segment({kLeft, kBottom}, {kRight, kBottom}, t),   // d
            segment({kLeft, kMiddle}, {kLeft, kBottom}, t),    // e
            segment({kLeft, kTop}, {kLeft, kMiddle}, t),       // f
            segment({kLeft, kMiddle}, {kRight, kMiddle}, t)};  // g
}

void draw_digit(QPainter& painter, int digit, const SegmentLook& look) {
    painter.fillRect(QRectF(0, 0, kDigitSize.width(), kDigitSize.height()),
                     QColor::fromRgb(look.background));
    painter.setTransform(QTransform(1, 0, -look.slant, 1, look.slant * kMiddle, 0), true);
    const QColor lit = QColor::fromRgb(look.lit);
    const QColor unlit = QColor::fromRgb(look.unlit);
    const auto shape = segments(look.thickness);
    for (std::size_t s = 0; s < shape.size(); ++s) {
        const bool on = (kLitSegments.at(static_cast<std::size_t>(digit)) >> s) & 1U;
        if (on && look.glow) {
            for (const auto& [width, alpha] : {std::pair{4.5, 28}, std::pair{2.5, 50}}) {
                painter.setPen(QPen(with_alpha(lit, alpha), width, Qt::SolidLine, Qt::RoundCap,
                                    Qt::RoundJoin));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(shape[s]);
            }
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(on ? lit : unlit);
        painter.drawPolygon(shape[s]);
    }
}

}  // namespace

QImage score_digit(int digit, const SegmentLook& look, int scale) {
    return render_picture(kDigitSize, scale,
                          [digit, &look](QPainter& painter) { draw_digit(painter, digit, look); });
}
