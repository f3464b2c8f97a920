#pragma once

#include "stone_art.h"

#include <QImage>
#include <QRectF>

#include <cstddef>
#include <functional>

// What sets one style's pictures apart from another's. Every style holds the same picture
// names at the same sizes; only the drawing differs.
struct StyleLook {
    StoneGround ground;
    std::function<StoneBody(std::size_t colour)> coloured;  // index into kStoneColours
    StoneBody joker;
    StoneBody question;
    std::function<StoneBody(double spark)> dynamite;        // spark 0..1, see fuse_spark
    Painting window;                          // the whole window, cut into "main1" .. "main4"
    std::function<QImage(int digit, int scale)> digit;  // a 30 x 45 score digit, times scale
    // Behind the splash pictures; the game's name centred at a point in a pixel size; a sunken
    // tray for a row of stones.
    std::function<void(QPainter&, const QRectF&)> backdrop;
    std::function<void(QPainter&, QPointF, double)> lettering;
    std::function<void(QPainter&, const QRectF&)> tray;
};

StyleLook standard_look();
StyleLook contrast_look();  // flat, bold and clear, for players who see little
StyleLook marbles_look();   // glass marbles and wooden toys
