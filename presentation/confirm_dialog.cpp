#include "presentation/confirm_dialog.h"

#include "localisation/languages.h"
#include "presentation/dialog_controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>


namespace {

constexpr int kDesignWidth = 350;
constexpr int kDesignHeight = 111;
constexpr int kNoLeft = 240;

QPushButton* make_button(QWidget* parent, const char* name, const char* text, int tag, QRect bounds) {
    auto* button = place(new QPushButton(text, parent), name, tag, bounds);
    QFont font = button->font();
    font.setPixelSize(16);
    button->setFont(font);
    return button;
}

}  // namespace

TConfirm1::TConfirm1(QWidget* main_window, const Languages& languages)
    : QDialog(main_window), main_window_(main_window), languages_(languages) {
    setFixedSize(kDesignWidth, kDesignHeight);
    setWindowTitle("Are you sure?");
    set_tag(this, 44);
    place(new QLabel("In order to change the game mode, you have to restart the game.", this), "Label1", 40, QPoint(8, 8));
    place(new QLabel("Do you really want to do this?", this), "Label2", 41, QPoint(8, 32));
    QPushButton* yes = make_button(this, "Button1", "Yes", 42, QRect(16, 64, 89, 33));
    QPushButton* no = make_button(this, "Button2", "No", 43, QRect(kNoLeft, 64, 97, 33));
    connect(yes, &QPushButton::clicked, this, [this] { done(kYes); });
    connect(no, &QPushButton::clicked, this, [this] { done(kNo); });
}

// The close box of the window frame answers "Yes", as it always has.
void TConfirm1::reject() { done(kYes); }

// Escape would close the window and so answer "Yes"; it does nothing here.
void TConfirm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void TConfirm1::showEvent(QShowEvent* event) {
    move(main_window_->pos() + QPoint(10, 75));
    for (QPushButton* button : findChildren<QPushButton*>()) languages_.set_caption(button);
    languages_.set_caption(static_cast<QWidget*>(this));
    fit_width_to_texts();
    QDialog::showEvent(event);
}

// The window is as wide as its design, or wider where a text in this language and font needs
// it; "No" keeps its distance from the right edge.
void TConfirm1::fit_width_to_texts() {
    const int width = caption_labels(this, languages_, kDesignWidth);
    setFixedSize(width, kDesignHeight);
    auto* no = findChild<QPushButton*>("Button2");
    no->move(width - kDesignWidth + kNoLeft, no->y());
}
