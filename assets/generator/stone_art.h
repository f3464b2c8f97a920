#pragma once

#include "paint_kit.h"

#include <QImage>
#include <QPainterPath>

#include <functional>

class QPainter;

// Stone bodies draw in stone coordinates: origin at the stone's centre, radius kStoneRadius.
using StoneBody = std::function<void(QPainter&)>;
using Painting = std::function<void(QPainter&)>;

// What a style's stones stand on: the empty field, the selected stone's glow, and whether a
// stone casts a shadow.
struct StoneGround {
    Painting field;
    QColor glow;
    bool shadows = true;
};

void draw_ball(QPainter& painter, const QColor& base);
void draw_gloss(QPainter& painter);
void draw_mark(QPainter& painter, Mark mark, const QColor& base);
QPainterPath mark_path(Mark mark);  // about 11 pixels across, centred on the origin

StoneBody coloured_body(const StoneColour& colour);
StoneBody joker_body();
StoneBody question_body();
StoneBody dynamite_body(double spark);  // spark 0..1: size of the burning fuse's spark
void draw_spark(QPainter& painter, QPointF at, double strength);  // a fuse's spark, strength 0..1

// How a stone stands in one animation frame: 0..4 appear (small to almost full), 5 rests,
// 6..10 are one cycle of the selected stone's hop.
struct StonePose {
    double scale = 1.0;
    double lift = 0.0;    // pixels above the ground
    double squash = 1.0;  // > 1: wider and flatter
    double glow = 0.0;    // 0..1: selection glow on the field
};
StonePose pose_for_frame(int frame);

// The standard board field: a recessed tile. It is the "empty" picture and lies under every stone.
void draw_field_tile(QPainter& painter);
StoneGround standard_ground();

// A posed stone of any kind on its field, 40 x 40.
void draw_posed_stone(QPainter& painter, const StonePose& pose, const StoneBody& body,
                      const StoneGround& ground);

// A stone drawn freely (splash pictures, icon): centre and radius in picture coordinates.
void draw_stone_at(QPainter& painter, QPointF centre, double radius, const StoneBody& body,
                   bool shadow = true);

// The stone in animation frame 0 .. 10 on its field, 40 x 40 times `scale`.
QImage stone_picture(int frame, const StoneBody& body, const StoneGround& ground, int scale);

// How far the dynamite's fuse burns in a frame: it flickers while the stone is selected.
double fuse_spark(int frame);

// Frames of a stone taken by a dynamite line, shown 13, 12, 14, 15: flash, fireball, smoke, puff.
QImage blast_picture(int frame, const Painting& field, int scale);
