#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where everything stands on the main window for a style: the four frame pictures around the
// board, the board fields and the preview slots. The score display places its own digits.
struct WindowLayout {
    static constexpr int kBoardLeft = 153;
    static constexpr int kBoardTop = 96;
    static constexpr int kBandHeight = 96;  // the band above the board where the digits stand

    QRect top_frame;     // "main1"
    QRect left_frame;    // "main2"
    QRect right_frame;   // "main3"
    QRect bottom_frame;  // "main4"
    QSize client;
    int field_size = 40;
    int digit_width = 30;
    int digit_height = 45;

    QRect field(int f) const;
    QPoint preview_slot(int slot) const;
};

WindowLayout arrange_layout(QSize main1, QSize main2, QSize main3, QSize main4, int field_size, int digit_width,
                            int digit_height);
