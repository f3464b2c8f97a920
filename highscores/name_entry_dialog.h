#pragma once

#include <QDialog>

class Languages;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks the player for a name at the end of a game, or for a mail address and a place before a
// posting. OK, the close box and Escape work only once every field in use is filled. The texts
// stay from one use to the next.
class Tname_enter : public QDialog {
public:
    Tname_enter(QWidget* main_window, const Languages& languages);

    // One row: the name for the highscore table.
    void prepare_name_form();
    // The second and third rows: mail address and place; the name row is hidden and stands filled.
    void prepare_posting_form();

    bool valid = false;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QPushButton* okbtn;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void FormShow();
    void Edit1Change();
    void okbtnClick();
    void set_texts(int caption, std::initializer_list<std::pair<QLabel*, int>> labels);
    void set_height(int height);

    QWidget* main_window_;
    const Languages& languages_;
};
