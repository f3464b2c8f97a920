#pragma once

#include "paint_kit.h"

#include <QImage>

#include <functional>

class QPainter;

// Stone bodies draw in stone coordinates: origin at the stone's centre, radius kStoneRadius.
using StoneBody = std::function<void(QPainter&)>;

void draw_ball(QPainter& painter, const QColor& base);
void draw_gloss(QPainter& painter);
void draw_mark(QPainter& painter, Mark mark, const QColor& base);

StoneBody coloured_body(const StoneColour& colour);
StoneBody joker_body();
StoneBody question_body();
StoneBody dynamite_body(double spark);  // spark 0..1: size of the burning fuse's spark

// How a stone stands in one animation frame: 0..4 appear (small to almost full), 5 rests,
// 6..10 are one cycle of the selected stone's hop.
struct StonePose {
    double scale = 1.0;
    double lift = 0.0;    // pixels above the ground
    double squash = 1.0;  // > 1: wider and flatter
    double glow = 0.0;    // 0..1: selection glow on the field
};
StonePose pose_for_frame(int frame);

// The board field: a recessed tile. It is the "empty" picture and lies under every stone.
void draw_field_tile(QPainter& painter);

// A posed stone of any kind on its field, 40 x 40.
void draw_posed_stone(QPainter& painter, const StonePose& pose, const StoneBody& body);

// A stone drawn freely (splash pictures, icon): centre and radius in picture coordinates.
void draw_stone_at(QPainter& painter, QPointF centre, double radius, const StoneBody& body);

QImage field_picture();
QImage coloured_stone_picture(const StoneColour& colour, int frame);
QImage joker_picture(int frame);
QImage question_picture(int frame);
QImage dynamite_picture(int frame);

// Frames of a stone taken by a dynamite line, shown 13, 12, 14, 15: flash, fireball, smoke, puff.
QImage blast_picture(int frame);
