// The contrast style: flat stones of strongly different colours on black, each with a big
// symbol of its own, a bold white frame and large yellow digits, for players who see little.
#include "frame_art.h"
#include "stone_art.h"
#include "style_look.h"

#include <QPainterPath>

#include <array>

namespace {

constexpr double R = kStoneRadius;
constexpr double kMarkScale = 1.7;  // the symbols fill most of the stone

struct FlatColour {
    QRgb body;
    QRgb symbol;  // black or white, whichever stands out more on the body
};

// In the order of kStoneColours; the "black" stone is white here, as black would vanish.
constexpr std::array<FlatColour, 7> kFlatColours{{
    {0xff3b30, 0x000000},
    {0x2fd33f, 0x000000},
    {0x2a5cff, 0xffffff},
    {0xffe100, 0x000000},
    {0x3fe6ff, 0x000000},
    {0xf4f4f4, 0x000000},
    {0xdc3cdc, 0xffffff},
}};
const QColor kGround(0, 0, 0);
const QColor kTile(0x22, 0x22, 0x22);
const QColor kLine(0xff, 0xff, 0xff);
const QColor kAccent(0xff, 0xe1, 0x00);
constexpr SegmentLook kBoldSegments{0x000000, 0xffe100, 0x1c1c1c, 6.0, 0.0, false};

void draw_flat_field(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, kFieldSize, kFieldSize), kGround);
    painter.setPen(QPen(QColor(0x5a, 0x5a, 0x5a), 1.0));
    painter.setBrush(kTile);
    painter.drawRoundedRect(QRectF(1.5, 1.5, kFieldSize - 3, kFieldSize - 3), 3, 3);
}

// A flat disc with a light rim, so that even a dark colour stands off the black ground.
void draw_disc(QPainter& painter, const QColor& body) {
    painter.setPen(QPen(QColor(0xff, 0xff, 0xff, 200), 1.4));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(0, 0), R - 0.7, R - 0.7);
}

StoneBody flat_body(std::size_t colour) {
    return [colour](QPainter& painter) {
        const FlatColour& flat = kFlatColours.at(colour);
        draw_disc(painter, QColor::fromRgb(flat.body));
        painter.save();
        painter.scale(kMarkScale, kMarkScale);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(flat.symbol));
        painter.drawPath(mark_path(kStoneColours.at(colour).mark));
        painter.restore();
    };
}

StoneBody flat_joker() {
    return [](QPainter& painter) {
        const double sweep = 360.0 / kFlatColours.size();
        const QRectF box(-R + 0.7, -R + 0.7, 2 * R - 1.4, 2 * R - 1.4);
        painter.setPen(QPen(kGround, 0.8));
        for (std::size_t i = 0; i < kFlatColours.size(); ++i) {
            painter.setBrush(QColor::fromRgb(kFlatColours[i].body));
            painter.drawPie(box, qRound((90.0 - sweep * static_cast<double>(i)) * 16),
                            qRound(-sweep * 16));
        }
        painter.setPen(QPen(kGround, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::white);
        painter.drawPath(star_path(4, 0.78 * R, 0.24 * R, 0.0));
    };
}

StoneBody flat_question() {
    return [](QPainter& painter) {
        draw_disc(painter, Qt::white);
        QPainterPath glyph;
        glyph.addText(0, 0, lettering_font(27, QFont::Black), QStringLiteral("?"));
        glyph.translate(-glyph.boundingRect().center());
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGround);
        painter.drawPath(glyph);
    };
}

// A round black bomb with a white rim and a burning fuse.
StoneBody flat_bomb(double spark) {
    return [spark](QPainter& painter) {
        const QPointF centre(0, 3.0);
        const QPointF fuse_end(8.5, -12.5);  // the spark stays clear of the field's corner
        painter.setPen(QPen(Qt::white, 1.6));
        painter.setBrush(kGround);
        painter.drawEllipse(centre, 12.0, 12.0);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(1.5, -11.0, 5.5, 4.5));
        QPainterPath fuse(QPointF(4.3, -11.0));
        fuse.quadTo(QPointF(5.0, -14.5), fuse_end);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(fuse);
        draw_spark(painter, fuse_end, spark);
    };
}

void draw_lettering(QPainter& painter, QPointF centre, double pixel_size) {
    QPainterPath name;
    name.addText(0, 0, lettering_font(pixel_size, QFont::Black), QStringLiteral("Quorvel"));
    name.translate(centre - name.boundingRect().center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLine);
    painter.drawPath(name);
}

// A bold yellow outline on black: the trays and the score display.
void draw_outlined_tray(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(kAccent, 3.0));
    painter.setBrush(kGround);
    painter.drawRoundedRect(area.adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
}

void draw_backdrop(QPainter& painter, const QRectF& area) {
    painter.fillRect(area, kGround);
}

// A flat arrow from the preview tray towards the board.
void draw_flat_arrow(QPainter& painter, QPointF tip) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLine);
    painter.drawPolygon(QPolygonF({tip, tip + QPointF(-14, -13), tip + QPointF(-14, -6),
                                   tip + QPointF(-28, -6), tip + QPointF(-28, 6),
                                   tip + QPointF(-14, 6), tip + QPointF(-14, 13)}));
}

void draw_contrast_window(QPainter& painter) {
    draw_backdrop(painter, QRectF(kWindowArea));
    painter.setPen(QPen(kLine, 3.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(kBoardArea).adjusted(-4.5, -4.5, 4.5, 4.5));
    draw_lettering(painter, QPointF(200, 49), 52);
    draw_outlined_tray(painter, QRectF(kScoreDigitsArea).adjusted(-10, -9, 10, 10));
    const QRectF previews(kPreviewLeft, kPreviewTop, kFieldSize, 2 * kPreviewStep + kFieldSize);
    const QRectF tray = previews.adjusted(-9, -9, 9, 9);
    draw_outlined_tray(painter, tray);
    draw_flat_arrow(painter, QPointF(tray.right() + 38, tray.center().y()));
}

}  // namespace

StyleLook contrast_look() {
    return {{draw_flat_field, Qt::white, false},
            flat_body,
            flat_joker(),
            flat_question(),
            flat_bomb,
            draw_contrast_window,
            [](int digit, int scale) { return score_digit(digit, kBoldSegments, scale); },
            draw_backdrop,
            draw_lettering,
            draw_outlined_tray};
}
