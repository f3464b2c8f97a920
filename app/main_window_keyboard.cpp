#include "app/main_window.h"

#include "app/board_focus.h"
#include "app/field_label.h"
#include "engine/spielklasse.h"

#include <QKeyEvent>

// The arrow keys move a frame over the board, Space or Return act as a click on its field, and
// Escape puts a picked-up stone back. The first key only shows the frame where it stands.
bool TForm1::keyboard_play(int key) {
    if (!engine) return false;
    const bool shown = board_focus_->isVisible();
    switch (key) {
    case Qt::Key_Left: if (shown) board_focus_->move_by(0, -1); break;
    case Qt::Key_Right: if (shown) board_focus_->move_by(0, 1); break;
    case Qt::Key_Up: if (shown) board_focus_->move_by(-1, 0); break;
    case Qt::Key_Down: if (shown) board_focus_->move_by(1, 0); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        board_click(engine->field_images[static_cast<std::size_t>(board_focus_->field())]);
        break;
    case Qt::Key_Escape:
        engine->deselect();
        name_selection();
        return true;
    default: return false;
    }
    FieldLabel* field = field_labels[static_cast<std::size_t>(board_focus_->field())];
    board_focus_->show_over(field->geometry());
    field->setFocus();  // screen readers follow the frame; the keys still reach the window
    return true;
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier) || !keyboard_play(event->key()))
        QMainWindow::keyPressEvent(event);
}
