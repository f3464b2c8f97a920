#pragma once

#include <QByteArray>
#include <QImage>

#include <array>
#include <vector>

// The program's icon: three stones on a dark rounded tile, `size` pixels square.
QImage icon_picture(int size);

// An ICO file holding each image as a PNG entry (each image at most 256 pixels square).
QByteArray ico_file(const std::vector<QImage>& images);

// The three board cursors, 32 x 32 times the scale they are drawn at. Each points with the tip of
// its index finger, at (10, 1) times the scale: that is the hot spot the program gives them.
struct CursorArt {
    const char* name;  // of the picture file, without ".png"
    bool badge;        // carries a round sign in the lower right
    unsigned badge_colour;
    bool tick;         // the sign shows a tick (yes) or a bar (no)
};
inline constexpr std::array<CursorArt, 3> kCursors{{
    {"pickhand", false, 0, false},
    {"pickhand2", true, 0x2f9e3e, true},
    {"nohand", true, 0xd02b2b, false},
}};

QImage cursor_picture(const CursorArt& cursor, int scale);
