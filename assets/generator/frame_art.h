#pragma once

#include "style_look.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <array>

class QPainter;

// The main window as the frame pictures build it, with 40-pixel fields.
inline constexpr QRect kWindowArea(0, 0, 542, 480);
inline constexpr QRect kBoardArea(153, 96, 360, 360);
inline constexpr QRect kScoreDigitsArea(382, 25, 120, 45);
inline constexpr int kPreviewLeft = 55;
inline constexpr int kPreviewTop = 224;
inline constexpr int kPreviewStep = 52;

// Where the four frame pictures "main1" .. "main4" lie in the window.
inline constexpr QRect kFrameStripAreas[4] = {
    {0, 0, 542, 96}, {0, 96, 153, 384}, {513, 96, 29, 384}, {153, 456, 360, 24}};

// The colour around the score digits; the digit pictures have it as their background.
inline constexpr unsigned kScoreBackground = 0x140d07;

// How a seven-segment score digit looks.
struct SegmentLook {
    QRgb background;
    QRgb lit;
    QRgb unlit;
    double thickness;  // of a segment, in pixels
    double slant;      // forward lean, as a fraction of the height
    bool glow;         // lit segments shine on their surroundings
};
inline constexpr SegmentLook kStandardSegments{kScoreBackground, 0xffb83e, 0x332212, 3.8, 0.1,
                                               true};

// The dark panel behind everything: a gradient with a soft vignette over `area`.
void draw_panel_background(QPainter& painter, const QRectF& area);
// A rounded well with a rim `rim` wide, lit from the upper left.
void draw_recess(QPainter& painter, const QRectF& outer, double rim, const QColor& floor);
// The game's name in gilded letters, centred at `centre`.
void draw_game_name(QPainter& painter, QPointF centre, double pixel_size);

// The standard style's whole window: metal, slate and gold.
void draw_standard_window(QPainter& painter);

// Frame pictures "main1" .. "main4", cut from one drawing of the whole window so that they join.
std::array<QImage, 4> frame_strips(const Painting& window, int scale);
// A 30 x 45 seven-segment digit, times `scale`; so are the splash pictures.
QImage score_digit(int digit, const SegmentLook& look, int scale);
QImage title_picture(const StyleLook& look, int scale);
QImage game_over_picture(const StyleLook& look, int scale);
