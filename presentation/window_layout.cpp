#include "presentation/window_layout.h"

namespace {

constexpr int kColumns = 9;
constexpr int kPreviewLeft = 55;
constexpr int kPreviewTop = 224;
constexpr int kPreviewStep = 52;

}  // namespace

WindowLayout arrange_layout(QSize main1, QSize main2, QSize main3, QSize main4, int field_size, int digit_width,
                            int digit_height) {
    WindowLayout layout;
    layout.field_size = field_size;
    layout.digit_width = digit_width;
    layout.digit_height = digit_height;
    const int h = main1.height() + main2.height();
    layout.top_frame = QRect(QPoint(0, 0), main1);
    layout.left_frame = QRect(QPoint(0, main1.height()), main2);
    layout.right_frame = QRect(QPoint(main2.width() + kColumns * field_size, main1.height()), main3);
    layout.bottom_frame = QRect(QPoint(main2.width(), h - main4.height()), main4);
    layout.client = QSize(main1.width(), h);
    return layout;
}

QRect WindowLayout::field(int f) const {
    return QRect(kBoardLeft + (f % kColumns) * field_size, kBoardTop + (f / kColumns) * field_size, field_size,
                 field_size);
}

QPoint WindowLayout::preview_slot(int slot) const { return QPoint(kPreviewLeft, kPreviewTop + kPreviewStep * slot); }
