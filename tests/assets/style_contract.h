#pragma once

#include <QSize>
#include <QString>

#include <vector>

// What every style module must hold: each bitmap by name, with the size the standard
// styles give it (fields 40 x 40, score digits 30 x 45).
struct ExpectedBitmap {
    QString name;
    QSize size;  // an empty size: any size will do
};
std::vector<ExpectedBitmap> expected_bitmaps();

// The seven colour words in the order of the stone codes 1..7.
std::vector<QString> colour_words();

// Every 40 x 40 stone picture: all stone frames of every kind, and "empty".
std::vector<QString> field_picture_names();

// The standard style files, by the names the program opens them with.
inline constexpr char kHighColourStyle[] = "standard highcolor.lvr";
inline constexpr char kLowColourStyle[] = "standard lowcolor.lvr";
