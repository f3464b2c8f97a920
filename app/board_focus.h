#pragma once

#include <QWidget>

// The keyboard's place on the board: a frame over one field that the arrow keys move. It shows
// once a key is used and lets every mouse click through to the field below.
class BoardFocus : public QWidget {
public:
    static constexpr int kRows = 9;

    explicit BoardFocus(QWidget* board_surface);

    int field() const { return field_; }
    // Moves by rows and columns, stopping at the edges.
    void move_by(int rows, int columns);
    // Shows the frame over `field_bounds`, the place of the field it stands on.
    void show_over(const QRect& field_bounds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int field_ = kRows * kRows / 2;  // the middle of the board
};
