#include "stone_art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>

#include <vector>

namespace {

constexpr double kStickWidth = 7.6;
constexpr double kStickLength = 24.0;
constexpr double kLean = -18.0;  // degrees: the bundle leans to the left

struct Puff {
    QPointF offset;  // from the field's centre
    double radius;
};

void draw_stick(QPainter& painter, QPointF centre) {
    const QRectF stick(centre.x() - kStickWidth / 2, centre.y() - kStickLength / 2, kStickWidth,
                       kStickLength);
    QLinearGradient paper(stick.left(), 0, stick.right(), 0);
    paper.setColorAt(0.0, QColor(0x6e, 0x14, 0x10));
    paper.setColorAt(0.32, QColor(0xd8, 0x3c, 0x2c));
    paper.setColorAt(0.45, QColor(0xf2, 0x77, 0x62));
    paper.setColorAt(1.0, QColor(0x5c, 0x10, 0x0c));
    painter.setPen(QPen(QColor(0x3a, 0x08, 0x06, 200), 0.6));
    painter.setBrush(paper);
    painter.drawRoundedRect(stick, 1.6, 1.6);
    painter.setBrush(QColor(0xec, 0xd6, 0xae));
    painter.drawEllipse(QPointF(centre.x(), stick.top() + 1.4), kStickWidth / 2 - 0.4, 1.3);
}

void draw_puffs(QPainter& painter, const std::vector<Puff>& puffs, const QColor& core,
                const QColor& edge, int alpha) {
    const QPointF centre(kFieldSize / 2.0, kFieldSize / 2.0);
    painter.setPen(Qt::NoPen);
    for (const Puff& puff : puffs) {
        const QPointF at = centre + puff.offset;
        QRadialGradient shade(at - QPointF(puff.radius, puff.radius) * 0.3, puff.radius * 1.2);
        shade.setColorAt(0.0, with_alpha(core, alpha));
        shade.setColorAt(0.7, with_alpha(edge, alpha * 9 / 10));
        shade.setColorAt(1.0, with_alpha(edge, 0));
        painter.setBrush(shade);
        painter.drawEllipse(at, puff.radius, puff.radius);
    }
}

void draw_flash(QPainter& painter) {
    const QPointF centre(kFieldSize / 2.0, kFieldSize / 2.0);
    QRadialGradient burst(centre, 18.5);
    burst.setColorAt(0.0, QColor(255, 255, 255));
    burst.setColorAt(0.3, QColor(255, 250, 200));
    burst.setColorAt(0.65, QColor(255, 205, 80, 230));
    burst.setColorAt(1.0, QColor(255, 130, 30, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(burst);
    painter.drawPath(star_path(12, 18.5, 9.0, 7.0).translated(centre));
    painter.drawEllipse(centre, 11.0, 11.0);
}

void draw_fireball(QPainter& painter) {
    draw_puffs(painter,
               {{{-5, 3}, 9.5}, {{5, 4}, 9.0}, {{0, -5}, 10.0}, {{-6, -5}, 7.0}, {{6, -4}, 7.5},
                {{0, 2}, 11.0}},
               QColor(255, 236, 140), QColor(220, 60, 20), 235);
    draw_puffs(painter, {{{-1, 0}, 6.0}}, QColor(255, 255, 235), QColor(255, 200, 80), 240);
}

void draw_smoke(QPainter& painter) {
    draw_puffs(painter,
               {{{-6, 4}, 8.5}, {{6, 5}, 8.0}, {{0, -4}, 10.0}, {{-7, -6}, 6.5}, {{7, -5}, 7.0}},
               QColor(0x9a, 0x94, 0x8c), QColor(0x4a, 0x45, 0x42), 225);
    draw_puffs(painter, {{{-3, 6}, 2.2}, {{5, -1}, 1.8}, {{-8, -2}, 1.5}}, QColor(255, 220, 120),
               QColor(230, 90, 20), 230);
}

void draw_fading_puff(QPainter& painter) {
    draw_puffs(painter, {{{-8, 5}, 7.0}, {{8, 3}, 6.5}, {{1, -8}, 8.0}, {{-2, 2}, 6.0}},
               QColor(0xd0, 0xcc, 0xc6), QColor(0x8a, 0x86, 0x80), 95);
}

}  // namespace

void draw_spark(QPainter& painter, QPointF at, double strength) {
    const double radius = 2.0 + 2.6 * strength;
    QRadialGradient glow(at, radius * 1.5);
    glow.setColorAt(0.0, QColor(255, 255, 230, 255));
    glow.setColorAt(0.35, QColor(255, 210, 90, 230));
    glow.setColorAt(1.0, QColor(255, 120, 20, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(at, radius * 1.5, radius * 1.5);
    painter.setBrush(QColor(255, 255, 240));
    painter.drawPath(star_path(4, radius, radius * 0.3, 20.0 * strength).translated(at));
}

StoneBody dynamite_body(double spark) {
    return [spark](QPainter& painter) {
        painter.save();
        painter.rotate(kLean);
        for (int i : {-1, 1, 0})
            draw_stick(painter, QPointF(i * kStickWidth * 0.98, i == 0 ? -1.2 : 1.0));
        const QRectF band(-1.5 * kStickWidth - 0.2, 2.0, 3 * kStickWidth + 0.4, 4.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2b, 0x25, 0x22));
        painter.drawRect(band);
        painter.setBrush(QColor(0x6a, 0x62, 0x5a));
        painter.drawRect(QRectF(band.left(), band.top(), band.width(), 1.0));
        painter.restore();
        const QPointF fuse_start =
            QTransform().rotate(kLean).map(QPointF(0, -1.2 - kStickLength / 2));

        QPainterPath fuse(fuse_start);
        const QPointF fuse_end(6.5, -13.5);
        fuse.cubicTo(fuse_start + QPointF(0, -4.5), QPointF(2.0, -17.0), fuse_end);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0x4a, 0x3c, 0x2e), 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(fuse);
        draw_spark(painter, fuse_end, spark);
    };
}

QImage blast_picture(int frame, const Painting& field, int scale) {
    return render_picture({kFieldSize, kFieldSize}, scale, [frame, &field](QPainter& painter) {
        field(painter);
        switch (frame) {
        case 12:
            draw_fireball(painter);
            break;
        case 13:
            draw_flash(painter);
            break;
        case 14:
            draw_smoke(painter);
            break;
        default:
            draw_fading_puff(painter);
            break;
        }
    });
}
