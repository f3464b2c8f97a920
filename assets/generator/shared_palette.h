#pragma once

#include <QImage>
#include <QList>

#include <vector>

// One palette of at most `colours` entries for all the pictures together, by median cut over
// their pixels, so that a 256-colour screen can show every picture of the style at once.
QList<QRgb> shared_palette(const std::vector<QImage>& pictures, int colours);

// The picture as 8-bit indexed, every pixel the nearest colour of the palette.
QImage to_palette(const QImage& picture, const QList<QRgb>& palette);
