#include "frame_art.h"

#include "paint_kit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr double kBezel = 8.0;

void draw_board_bezel(QPainter& painter) {
    const QRectF board(kBoardArea);
    const QRectF outer = board.adjusted(-kBezel, -kBezel, kBezel, kBezel);
    QRadialGradient drop(outer.center(), outer.width() * 0.62);
    drop.setColorAt(0.8, QColor(0, 0, 0, 110));
    drop.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(drop);
    painter.drawRoundedRect(outer.adjusted(-6, -4, 8, 10), 14, 14);

    QLinearGradient metal(outer.topLeft(), outer.bottomRight());
    metal.setColorAt(0.0, QColor(0xa9, 0xb3, 0xc0));
    metal.setColorAt(0.5, QColor(0x5e, 0x68, 0x76));
    metal.setColorAt(1.0, QColor(0x2c, 0x33, 0x3d));
    painter.setBrush(metal);
    painter.drawRoundedRect(outer, 6, 6);
    QLinearGradient lip(outer.topLeft(), outer.bottomRight());
    lip.setColorAt(0.0, QColor(0x2a, 0x31, 0x3a));
    lip.setColorAt(1.0, QColor(0x8e, 0x99, 0xa8));
    painter.setBrush(lip);
    painter.drawRect(board.adjusted(-2.5, -2.5, 2.5, 2.5));
    painter.setBrush(QColor(0x45, 0x4c, 0x57));
    painter.drawRect(board);
}

void draw_score_well(QPainter& painter) {
    const QRectF outer = QRectF(kScoreDigitsArea).adjusted(-10, -9, 10, 10);
    draw_recess(painter, outer, 3.0, QColor::fromRgb(kScoreBackground));
}

// Points from the preview tray to the board: the stones shown there come next.
void draw_preview_arrow(QPainter& painter, QPointF tip) {
    QPainterPath arrow;
    arrow.addPolygon(QPolygonF({tip, tip + QPointF(-13, -12), tip + QPointF(-13, -5),
                                tip + QPointF(-27, -5), tip + QPointF(-27, 5),
                                tip + QPointF(-13, 5), tip + QPointF(-13, 12)}));
    arrow.closeSubpath();
    QLinearGradient gold(tip + QPointF(0, -12), tip + QPointF(0, 12));
    gold.setColorAt(0.0, QColor(0xff, 0xe9, 0xa8));
    gold.setColorAt(0.5, QColor(0xe0, 0xa8, 0x3c));
    gold.setColorAt(1.0, QColor(0x9a, 0x66, 0x18));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 120));
    painter.drawPath(arrow.translated(1.5, 2));
    painter.setPen(QPen(QColor(0x4a, 0x30, 0x08), 1.0));
    painter.setBrush(gold);
    painter.drawPath(arrow);
}

// Five slate stones in a line, in relief: what the game asks of the player.
void draw_relief_row(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        const QPointF at(43 + 16 * i, 120 + 17 * i);
        constexpr double radius = 7.0;
        painter.setBrush(QColor(0, 0, 0, 90));
        painter.drawEllipse(at + QPointF(1.0, 1.4), radius, radius);
        QRadialGradient dome(at, radius * 1.3, at - QPointF(radius, radius) * 0.45);
        dome.setColorAt(0.0, QColor(0x74, 0x83, 0x96));
        dome.setColorAt(1.0, QColor(0x26, 0x2e, 0x39));
        painter.setBrush(dome);
        painter.drawEllipse(at, radius, radius);
    }
}

void draw_preview_tray(QPainter& painter) {
    const QRectF previews(kPreviewLeft, kPreviewTop, kFieldSize, 2 * kPreviewStep + kFieldSize);
    const QRectF outer = previews.adjusted(-9, -9, 9, 9);
    draw_recess(painter, outer, 3.0, QColor(0x1b, 0x20, 0x27));
    draw_preview_arrow(painter, QPointF(outer.right() + 36, outer.center().y()));
}

}  // namespace

void draw_standard_window(QPainter& painter) {
    draw_panel_background(painter, QRectF(kWindowArea));
    draw_board_bezel(painter);
    draw_game_name(painter, QPointF(196, 49), 54);
    draw_score_well(painter);
    draw_preview_tray(painter);
    draw_relief_row(painter);
}

// A rounded well: dark where the light from the upper left cannot reach, lit on the far rim.
void draw_recess(QPainter& painter, const QRectF& outer, double rim, const QColor& floor) {
    QLinearGradient edge(outer.topLeft(), outer.bottomRight());
    edge.setColorAt(0.0, QColor(0x0e, 0x12, 0x17));
    edge.setColorAt(1.0, QColor(0x7d, 0x88, 0x98));
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawRoundedRect(outer, 6, 6);
    painter.setBrush(floor);
    painter.drawRoundedRect(outer.adjusted(rim, rim, -rim, -rim), 4, 4);
}

void draw_panel_background(QPainter& painter, const QRectF& area) {
    QLinearGradient fall(area.topLeft(), area.bottomLeft());
    fall.setColorAt(0.0, QColor(0x3e, 0x4b, 0x5d));
    fall.setColorAt(1.0, QColor(0x1f, 0x26, 0x31));
    painter.fillRect(area, fall);
    QRadialGradient vignette(area.center(), std::max(area.width(), area.height()) * 0.75);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 80));
    painter.fillRect(area, vignette);
}

void draw_game_name(QPainter& painter, QPointF centre, double pixel_size) {
    QFont font = lettering_font(pixel_size, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, pixel_size * 0.02);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("Quorvel"));
    const QRectF box = name.boundingRect();
    name.translate(centre - box.center());
    const QRectF placed = name.boundingRect();

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 130));
    painter.drawPath(name.translated(pixel_size * 0.04, pixel_size * 0.06));
    QLinearGradient gold(placed.topLeft(), placed.bottomLeft());
    gold.setColorAt(0.0, QColor(0xff, 0xf6, 0xd2));
    gold.setColorAt(0.45, QColor(0xf0, 0xc0, 0x50));
    gold.setColorAt(0.55, QColor(0xd4, 0x96, 0x28));
    gold.setColorAt(1.0, QColor(0xa8, 0x6a, 0x12));
    painter.setPen(QPen(QColor(0x3c, 0x24, 0x06), pixel_size * 0.025));
    painter.setBrush(gold);
    painter.drawPath(name);
}

std::array<QImage, 4> frame_strips(const Painting& window, int scale) {
    const QImage whole = render_picture(kWindowArea.size(), scale, window);
    std::array<QImage, 4> strips;
    for (std::size_t i = 0; i < strips.size(); ++i) {
        const QRect area = kFrameStripAreas[i];
        strips[i] = whole.copy(QRect(area.topLeft() * scale, area.size() * scale));
    }
    return strips;
}
