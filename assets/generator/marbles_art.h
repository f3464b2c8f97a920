#pragma once

#include "stone_art.h"

#include <QRectF>

#include <cstddef>

// The marbles style's stones: glass marbles lying in the hollows of a wooden board.

// Light wood for the board's fields, darker wood for its rims.
QColor marble_wood(double shade);  // 0 light .. 1 dark
void draw_wood(QPainter& painter, const QRectF& area, double shade);

void draw_marble_field(QPainter& painter);  // a round hollow in the wood
StoneBody marble_body(std::size_t colour);  // glass with a milky core shaped as the colour's mark
StoneBody rainbow_marble();                 // the joker: every colour swirled together
StoneBody wooden_ball();                    // the question stone: a turned ball with a burnt "?"
