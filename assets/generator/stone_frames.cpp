#include "stone_art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <array>

namespace {

constexpr QPointF kGround(kFieldSize / 2.0, kFieldSize / 2.0);  // centre of a resting stone
constexpr std::array<double, 5> kAppearScale{0.2, 0.38, 0.56, 0.74, 0.9};
constexpr int kRestFrame = 5;
constexpr int kFirstHopFrame = 6;
constexpr int kHopFrames = 5;
constexpr double kHopHeight = 3.6;

void draw_glow(QPainter& painter, double strength, const QColor& light) {
    const double radius = kStoneRadius * 1.27;
    QRadialGradient glow(kGround, radius);
    glow.setColorAt(0.0, with_alpha(light, qRound(255 * strength)));
    glow.setColorAt(0.8, with_alpha(light, qRound(235 * strength)));
    glow.setColorAt(1.0, with_alpha(light, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(kGround, radius, radius);
}

void draw_shadow(QPainter& painter, const StonePose& pose) {
    const double lifted = 1.0 - pose.lift / 14.0;
    const double radius = kStoneRadius * pose.scale * 1.12 * lifted * pose.squash;
    const QPointF centre = kGround + QPointF(1.6, 2.2) * pose.scale;
    QRadialGradient shadow(centre, radius);
    shadow.setColorAt(0.0, QColor(0, 0, 0, qRound(130 * lifted)));
    shadow.setColorAt(0.72, QColor(0, 0, 0, qRound(105 * lifted)));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(centre, radius, radius * 0.96);
}

// One bevel band of the tile: a trapezoid along an edge.
void draw_bevel(QPainter& painter, const QPolygonF& band, const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(band);
}

}  // namespace

StonePose pose_for_frame(int frame) {
    if (frame < kRestFrame)
        return {kAppearScale.at(static_cast<std::size_t>(frame)), 0.0, 1.0, 0.0};
    if (frame == kRestFrame)
        return {};
    const double phase = static_cast<double>(frame - kFirstHopFrame) / kHopFrames;
    const double hop = std::sin(M_PI * phase);
    return {1.0, kHopHeight * hop, 1.0 + 0.07 * std::pow(1.0 - hop, 4.0), 0.55 + 0.45 * hop};
}

void draw_field_tile(QPainter& painter) {
    constexpr double s = kFieldSize;
    constexpr double b = 2.5;  // bevel width
    painter.fillRect(QRectF(0, 0, s, s), QColor(0x45, 0x4c, 0x57));
    QLinearGradient well(0, 1, 0, s - 1);
    well.setColorAt(0.0, QColor(0x8e, 0x97, 0xa3));
    well.setColorAt(1.0, QColor(0xa9, 0xb1, 0xbc));
    painter.fillRect(QRectF(1, 1, s - 2, s - 2), well);
    const double lo = 1.0;
    const double hi = s - 1.0;
    draw_bevel(painter, QPolygonF({{lo, lo}, {hi, lo}, {hi - b, lo + b}, {lo + b, lo + b}}),
               QColor(0x6b, 0x73, 0x80));
    draw_bevel(painter, QPolygonF({{lo, lo}, {lo + b, lo + b}, {lo + b, hi - b}, {lo, hi}}),
               QColor(0x75, 0x7d, 0x8a));
    draw_bevel(painter, QPolygonF({{lo, hi}, {lo + b, hi - b}, {hi - b, hi - b}, {hi, hi}}),
               QColor(0xcd, 0xd3, 0xda));
    draw_bevel(painter, QPolygonF({{hi, lo}, {hi, hi}, {hi - b, hi - b}, {hi - b, lo + b}}),
               QColor(0xbf, 0xc6, 0xcf));
}

StoneGround standard_ground() {
    return {draw_field_tile, QColor(255, 214, 92), true};
}

void draw_posed_stone(QPainter& painter, const StonePose& pose, const StoneBody& body,
                      const StoneGround& ground) {
    ground.field(painter);
    if (pose.glow > 0.0)
        draw_glow(painter, pose.glow, ground.glow);
    if (ground.shadows)
        draw_shadow(painter, pose);
    const double width = pose.scale * pose.squash;
    const double height = pose.scale / pose.squash;
    painter.save();
    // A squashed stone keeps its bottom on the ground.
    painter.translate(kGround.x(), kGround.y() - pose.lift + kStoneRadius * (pose.scale - height));
    painter.scale(width, height);
    body(painter);
    painter.restore();
}

void draw_stone_at(QPainter& painter, QPointF centre, double radius, const StoneBody& body,
                   bool shadow) {
    painter.save();
    const double scale = radius / kStoneRadius;
    if (shadow) {
        QRadialGradient fall(centre + QPointF(1.6, 2.4) * scale, radius * 1.12);
        fall.setColorAt(0.7, QColor(0, 0, 0, 110));
        fall.setColorAt(1.0, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fall);
        painter.drawEllipse(centre + QPointF(1.6, 2.4) * scale, radius * 1.12, radius * 1.08);
    }
    painter.translate(centre);
    painter.scale(scale, scale);
    body(painter);
    painter.restore();
}

QImage stone_picture(int frame, const StoneBody& body, const StoneGround& ground, int scale) {
    return render_picture({kFieldSize, kFieldSize}, scale, [&](QPainter& painter) {
        draw_posed_stone(painter, pose_for_frame(frame), body, ground);
    });
}

double fuse_spark(int frame) {
    constexpr std::array<double, 5> kSparkByHop{0.55, 0.9, 0.7, 1.0, 0.75};
    if (frame < kFirstHopFrame)
        return 0.7;
    return kSparkByHop.at(static_cast<std::size_t>(frame - kFirstHopFrame));
}
