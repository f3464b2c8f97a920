#include "stone_art.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

constexpr double R = kStoneRadius;

// A sparkle with four long points: the joker's sign.
QPainterPath sparkle_path(double size) {
    return star_path(4, size, size * 0.28, 0.0);
}

}  // namespace

QPainterPath mark_path(Mark mark) {
    QPainterPath path;
    switch (mark) {
    case Mark::Dot:
        path.addEllipse(QPointF(0, 0), 3.6, 3.6);
        break;
    case Mark::Ring:
        path.addEllipse(QPointF(0, 0), 5.2, 5.2);
        path.addEllipse(QPointF(0, 0), 3.0, 3.0);
        break;
    case Mark::Triangle:
        path.addPolygon(QPolygonF({{0, -5.6}, {5.0, 3.4}, {-5.0, 3.4}}));
        path.closeSubpath();
        break;
    case Mark::Square:
        path.addRect(QRectF(-4.0, -4.0, 8.0, 8.0));
        break;
    case Mark::Diamond:
        path.addPolygon(QPolygonF({{0, -5.8}, {4.6, 0}, {0, 5.8}, {-4.6, 0}}));
        path.closeSubpath();
        break;
    case Mark::Cross:
        path.addRect(QRectF(-1.4, -5.2, 2.8, 10.4));
        path.addRect(QRectF(-5.2, -1.4, 10.4, 2.8));
        path.setFillRule(Qt::WindingFill);
        break;
    case Mark::Star:
        path = star_path(5, 6.0, 2.6, 0.0);
        break;
    }
    return path;
}

void draw_ball(QPainter& painter, const QColor& base) {
    QRadialGradient body(QPointF(-0.2 * R, -0.25 * R), 1.3 * R, QPointF(-0.4 * R, -0.45 * R));
    body.setColorAt(0.0, mix(base, Qt::white, 0.5));
    body.setColorAt(0.3, base);
    body.setColorAt(0.78, mix(base, Qt::black, 0.32));
    body.setColorAt(1.0, mix(base, Qt::black, 0.55));
    painter.setPen(QPen(with_alpha(mix(base, Qt::black, 0.7), 170), 0.7));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(0, 0), R, R);

    // Light thrown back from the field onto the lower rim.
    QRadialGradient rim(QPointF(0.15 * R, 0.85 * R), 0.75 * R);
    rim.setColorAt(0.0, with_alpha(mix(base, Qt::white, 0.4), 120));
    rim.setColorAt(1.0, with_alpha(mix(base, Qt::white, 0.4), 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(rim);
    painter.drawEllipse(QPointF(0, 0), R - 0.8, R - 0.8);
}

void draw_gloss(QPainter& painter) {
    painter.save();
    painter.translate(-0.34 * R, -0.46 * R);
    painter.rotate(-35.0);
    painter.scale(1.0, 0.62);
    QRadialGradient shine(QPointF(0, 0), 0.5 * R);
    shine.setColorAt(0.0, QColor(255, 255, 255, 235));
    shine.setColorAt(0.5, QColor(255, 255, 255, 120));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawEllipse(QPointF(0, 0), 0.5 * R, 0.5 * R);
    painter.restore();
}

void draw_mark(QPainter& painter, Mark mark, const QColor& base) {
    const QPainterPath path = mark_path(mark).translated(0.4, 0.8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(with_alpha(mix(base, Qt::black, 0.6), 150));
    painter.drawPath(path.translated(0.6, 0.7));
    painter.setBrush(with_alpha(mix(base, Qt::white, 0.8), 140));
    painter.drawPath(path.translated(-0.5, -0.5));
    painter.setBrush(mix(base, Qt::white, 0.18));
    painter.drawPath(path);
}

StoneBody coloured_body(const StoneColour& colour) {
    return [colour](QPainter& painter) {
        const QColor base = QColor::fromRgb(colour.base);
        draw_ball(painter, base);
        draw_mark(painter, colour.mark, base);
        draw_gloss(painter);
    };
}

StoneBody joker_body() {
    return [](QPainter& painter) {
        const double sweep = 360.0 / kStoneColours.size();
        const QRectF box(-R, -R, 2 * R, 2 * R);
        painter.setPen(Qt::NoPen);
        for (std::size_t i = 0; i < kStoneColours.size(); ++i) {
            painter.setBrush(QColor::fromRgb(kStoneColours[i].base));
            painter.drawPie(box, qRound((90.0 - sweep * static_cast<double>(i)) * 16),
                            qRound(-sweep * 16));
        }
        QRadialGradient shade(QPointF(-0.2 * R, -0.25 * R), 1.3 * R, QPointF(-0.4 * R, -0.45 * R));
        shade.setColorAt(0.0, QColor(255, 255, 255, 130));
        shade.setColorAt(0.35, QColor(255, 255, 255, 0));
        shade.setColorAt(0.8, QColor(0, 0, 0, 70));
        shade.setColorAt(1.0, QColor(0, 0, 0, 150));
        painter.setPen(QPen(QColor(40, 30, 50, 170), 0.7));
        painter.setBrush(shade);
        painter.drawEllipse(box);

        painter.setPen(QPen(QColor(60, 40, 20, 200), 0.9));
        painter.setBrush(QColor(255, 252, 235));
        painter.drawPath(sparkle_path(0.62 * R).translated(0.3, 0.6));
        draw_gloss(painter);
    };
}

StoneBody question_body() {
    return [](QPainter& painter) {
        const QColor pearl(0xe4, 0xe0, 0xd6);
        draw_ball(painter, pearl);
        QPainterPath glyph;
        glyph.addText(0, 0, lettering_font(22, QFont::Black), QStringLiteral("?"));
        const QRectF bounds = glyph.boundingRect();
        glyph.translate(-bounds.center() + QPointF(0.3, 0.8));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 170));
        painter.drawPath(glyph.translated(-0.6, -0.6));
        painter.setBrush(QColor(0x2c, 0x2f, 0x96));
        painter.drawPath(glyph);
        draw_gloss(painter);
    };
}
