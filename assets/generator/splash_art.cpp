#include "frame_art.h"

#include "stone_art.h"

#include <array>

namespace {

constexpr QSize kTitleSize(400, 260);
constexpr QSize kGameOverSize(300, 150);

// A stone in a splash picture: index into the colour table (7 = joker), centre, radius.
struct PlacedStone {
    int kind;
    QPointF centre;
    double radius;
};

StoneBody body_of(const StyleLook& look, int kind) {
    const auto colour = static_cast<std::size_t>(kind);
    return colour < kStoneColours.size() ? look.coloured(colour) : look.joker;
}

void draw_stones(QPainter& painter, const StyleLook& look, const std::vector<PlacedStone>& stones) {
    for (const PlacedStone& stone : stones)
        draw_stone_at(painter, stone.centre, stone.radius, body_of(look, stone.kind),
                      look.ground.shadows);
}

// A strip of board fields seen from above, as a floor for the stones.
void draw_field_row(QPainter& painter, const StyleLook& look, QPointF top_left, int count,
                    double size) {
    for (int i = 0; i < count; ++i) {
        painter.save();
        painter.translate(top_left + QPointF(i * size, 0));
        painter.scale(size / kFieldSize, size / kFieldSize);
        look.ground.field(painter);
        painter.restore();
    }
}

// The seven colours side by side, each on its field, in a sunken tray.
void draw_colour_row(QPainter& painter, const StyleLook& look, QPointF top_left, double size) {
    const double width = size * static_cast<double>(kStoneColours.size());
    look.tray(painter, QRectF(top_left, QSizeF(width, size)).adjusted(-6, -6, 6, 6));
    for (std::size_t i = 0; i < kStoneColours.size(); ++i) {
        painter.save();
        painter.translate(top_left + QPointF(static_cast<double>(i) * size, 0));
        painter.scale(size / kFieldSize, size / kFieldSize);
        draw_posed_stone(painter, pose_for_frame(5), look.coloured(i), look.ground);
        painter.restore();
    }
}

void draw_title(QPainter& painter, const StyleLook& look) {
    const QRectF area(QPointF(0, 0), QSizeF(kTitleSize));
    look.backdrop(painter, area);
    look.lettering(painter, QPointF(200, 92), 72);
    draw_colour_row(painter, look, QPointF(46, 166), 44);
}

// The board has overflowed: a heap of stones spills over its rim.
void draw_game_over(QPainter& painter, const StyleLook& look) {
    const QRectF area(QPointF(0, 0), QSizeF(kGameOverSize));
    look.backdrop(painter, area);
    draw_field_row(painter, look, QPointF(15, 118), 9, 30);
    constexpr std::array<std::array<double, 4>, 22> kHeap{{
        // colour, x, y, radius
        {0, 62, 106, 14},  {3, 90, 107, 14},  {1, 118, 106, 14}, {6, 146, 107, 14},
        {2, 174, 106, 14}, {4, 202, 107, 14}, {5, 230, 106, 14}, {5, 76, 82, 14},
        {2, 104, 81, 14},  {0, 132, 82, 14},  {7, 160, 81, 14},  {3, 188, 82, 14},
        {1, 216, 81, 14},  {6, 90, 57, 14},   {4, 118, 56, 14},  {1, 146, 57, 14},
        {0, 174, 56, 14},  {2, 202, 57, 14},  {5, 132, 32, 14},  {3, 160, 31, 14},
        {6, 30, 110, 13},  {4, 268, 104, 13},
    }};
    std::vector<PlacedStone> heap;
    for (const auto& [kind, x, y, radius] : kHeap)
        heap.push_back({static_cast<int>(kind), QPointF(x, y), radius});
    draw_stones(painter, look, heap);
}

}  // namespace

QImage title_picture(const StyleLook& look, int scale) {
    return render_picture(kTitleSize, scale,
                          [&look](QPainter& painter) { draw_title(painter, look); });
}

QImage game_over_picture(const StyleLook& look, int scale) {
    return render_picture(kGameOverSize, scale,
                          [&look](QPainter& painter) { draw_game_over(painter, look); });
}
