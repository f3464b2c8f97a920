// The marbles style's window: a walnut cabinet with a board of hollows, candy-coloured lettering
// and rounded candy digits on a dark wooden display.
#include "frame_art.h"
#include "marbles_art.h"
#include "style_look.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr QSize kDigitSize(30, 45);
constexpr double kPanelShade = 0.45;
const QColor kDisplay(0x2a, 0x16, 0x08);
const QColor kCream(0xff, 0xf3, 0xd6);

// Candy letters: each in the colour of a marble, with a dark outline and a light edge on top.
void draw_candy_lettering(QPainter& painter, QPointF centre, double pixel_size) {
    const QString name = QStringLiteral("Quorvel");
    const QFont font = lettering_font(pixel_size, QFont::Black);
    QPainterPath whole;
    whole.addText(0, 0, font, name);
    const QPointF origin = centre - whole.boundingRect().center();
    const QFontMetricsF metrics(font);
    double x = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        QPainterPath letter;
        letter.addText(origin + QPointF(x, 0), font, name.mid(i, 1));
        x += metrics.horizontalAdvance(name.mid(i, 1));
        const QRgb marble = kStoneColours.at(static_cast<std::size_t>(i)).base;
        const QColor candy = mix(QColor::fromRgb(marble), Qt::white, 0.15);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x20, 0x0c, 0x02, 150));
        painter.drawPath(letter.translated(pixel_size * 0.03, pixel_size * 0.05));
        painter.setPen(QPen(QColor(0x3a, 0x18, 0x06), pixel_size * 0.04));
        painter.setBrush(candy);
        painter.drawPath(letter);
        painter.setPen(QPen(with_alpha(Qt::white, 150), pixel_size * 0.025));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(letter.translated(-pixel_size * 0.012, -pixel_size * 0.02));
    }
}

// A groove cut into the wood: dark inside, lit on its lower edge.
void draw_groove(QPainter& painter, const QRectF& area, const QColor& floor) {
    const double radius = std::min(area.width(), area.height()) / 4;
    painter.setPen(QPen(with_alpha(Qt::white, 90), 1.5));
    painter.setBrush(QColor(0x24, 0x10, 0x04));
    painter.drawRoundedRect(area, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(floor);
    painter.drawRoundedRect(area.adjusted(3, 3, -3, -2), radius - 2, radius - 2);
}

void draw_tray(QPainter& painter, const QRectF& area) {
    draw_groove(painter, area, marble_wood(0.55));
}

void draw_backdrop(QPainter& painter, const QRectF& area) {
    draw_wood(painter, area, kPanelShade);
}

// The board sits in a raised frame of dark wood. Its corners turn outside the frame pictures'
// seams, so that the strips meet on straight edges.
void draw_board_frame(QPainter& painter) {
    constexpr double kCorner = 7.0;
    const QRectF outer = QRectF(kBoardArea).adjusted(-9, -9, 9, 9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1a, 0x0a, 0x02, 110));
    painter.drawRoundedRect(outer.translated(2, 3), kCorner, kCorner);
    QLinearGradient rim(outer.topLeft(), outer.bottomRight());
    rim.setColorAt(0.0, marble_wood(0.5));
    rim.setColorAt(1.0, marble_wood(0.9));
    painter.setPen(QPen(marble_wood(0.25), 1.5));
    painter.setBrush(rim);
    painter.drawRoundedRect(outer, kCorner, kCorner);
}

// Five marbles in a row, as a hint of what the game asks for.
void draw_marble_row(QPainter& painter) {
    for (std::size_t i = 0; i < 5; ++i) {
        const auto step = static_cast<double>(i);
        draw_stone_at(painter, QPointF(43 + 16 * step, 120 + 17 * step), 7.5, marble_body(i));
    }
}

// Two cream chevrons from the preview tray towards the board.
void draw_chevrons(QPainter& painter, QPointF tip) {
    painter.setPen(QPen(kCream, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const double back : {0.0, 11.0})
        painter.drawPolyline(QPolygonF({tip + QPointF(-back - 9, -10), tip + QPointF(-back, 0),
                                        tip + QPointF(-back - 9, 10)}));
}

void draw_marbles_window(QPainter& painter) {
    draw_backdrop(painter, QRectF(kWindowArea));
    draw_board_frame(painter);
    draw_candy_lettering(painter, QPointF(196, 49), 52);
    draw_groove(painter, QRectF(kScoreDigitsArea).adjusted(-10, -9, 10, 10), kDisplay);
    const QRectF previews(kPreviewLeft, kPreviewTop, kFieldSize, 2 * kPreviewStep + kFieldSize);
    const QRectF tray = previews.adjusted(-9, -9, 9, 9);
    draw_tray(painter, tray);
    draw_chevrons(painter, QPointF(tray.right() + 34, tray.center().y()));
    draw_marble_row(painter);
}

// A round bold digit in candy colours, cream-edged, on the dark display.
QImage candy_digit(int digit, int scale) {
    return render_picture(kDigitSize, scale, [digit](QPainter& painter) {
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(kDigitSize)), kDisplay);
        QPainterPath glyph;
        glyph.addText(0, 0, lettering_font(38, QFont::Black), QString::number(digit));
        glyph.translate(QRectF(QPointF(0, 0), QSizeF(kDigitSize)).center() -
                        glyph.boundingRect().center());
        QLinearGradient candy(0, 6, 0, 40);
        candy.setColorAt(0.0, QColor(0xff, 0x8c, 0xc0));
        candy.setColorAt(1.0, QColor(0xff, 0x4a, 0x6e));
        painter.setPen(QPen(kCream, 1.4));
        painter.setBrush(candy);
        painter.drawPath(glyph);
    });
}

}  // namespace

StyleLook marbles_look() {
    return {{draw_marble_field, QColor(0x30, 0xe0, 0xe8), true},
            marble_body,
            rainbow_marble(),
            wooden_ball(),
            dynamite_body,
            draw_marbles_window,
            candy_digit,
            draw_backdrop,
            draw_candy_lettering,
            draw_tray};
}
