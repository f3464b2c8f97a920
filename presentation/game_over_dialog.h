#pragma once

#include "presentation/picture_source.h"

#include <QDialog>

class Languages;
class QFrame;
class QLabel;
class QPushButton;

// The dialog at the end of a game: the style's "game_over" picture centred in its frame, the
// final score and the place it takes in the highscore table under it, and an OK button.
class Tgame_over : public QDialog {
public:
    Tgame_over(QWidget* main_window, const Languages& languages, PictureSource pictures);

    // The score the next showing tells; `rank` 1 to `table_size` is its place in the table,
    // 0 when it enters none.
    void show_result(int score, int rank, int table_size);

    // Loads the picture of the current style, moves to the main window's corner, sets the caption
    // and the result's texts, and lays the dialog out around them.
    void reposition();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void hideGO();
    void show_result_texts();
    void lay_out(QSize picture_size);
    QSize result_text_size() const;

    QWidget* main_window_;
    const Languages& languages_;
    PictureSource pictures_;
    QFrame* bevel_;
    QLabel* go_logo_;
    QLabel* score_label_;
    QLabel* place_label_;
    QPushButton* ok_;
    int score_ = 0;
    int rank_ = 0;
    int table_size_ = 0;
};
