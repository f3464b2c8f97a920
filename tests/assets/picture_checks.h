#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>

// Pixels whose colour differs from the other picture's by more than `tolerance` in a channel.
inline int pixels_differing(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            count += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > tolerance;
        }
    return count;
}
