#pragma once

#include "presentation/picture_source.h"

#include <QDialog>

class Languages;
class QLabel;

// The dialog at the end of a game: the style's "game_over" picture and an OK button.
class Tgame_over : public QDialog {
public:
    Tgame_over(QWidget* main_window, const Languages& languages, PictureSource pictures);

    // Loads the picture of the current style, moves to the main window's corner, sets the caption.
    void reposition();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void hideGO();

    QWidget* main_window_;
    const Languages& languages_;
    PictureSource pictures_;
    QLabel* go_logo_;
};
