#include "app/board_focus.h"

#include <QPainter>

#include <algorithm>

BoardFocus::BoardFocus(QWidget* board_surface) : QWidget(board_surface) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName("BoardFocus");
    hide();
}

void BoardFocus::move_by(int rows, int columns) {
    const int row = std::clamp(field_ / kRows + rows, 0, kRows - 1);
    const int column = std::clamp(field_ % kRows + columns, 0, kRows - 1);
    field_ = row * kRows + column;
}

void BoardFocus::show_over(const QRect& field_bounds) {
    setGeometry(field_bounds);
    raise();
    show();
    update();
}

// A light frame between two dark ones: it stands out on light and on dark styles alike.
void BoardFocus::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QPen(QColor(20, 20, 20), 1));
    painter.drawRect(outer);
    painter.drawRect(outer.adjusted(4, 4, -4, -4));
    painter.setPen(QPen(QColor(255, 214, 64), 3));
    painter.drawRect(outer.adjusted(2, 2, -2, -2));
}
