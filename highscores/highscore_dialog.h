#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class Languages;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The highscore dialog: the local table of the mode in force. It holds both tables, as the lines
// of highscore_tables.h, from the start of the program to its end.
class THighscores : public QDialog {
public:
    // `regular_mode` tells the mode in force each time the dialog opens.
    THighscores(QWidget* main_window, const Languages& languages, QStringList tables,
                std::function<bool()> regular_mode);

    QStringList lines() const { return lines_; }
    void set_lines(const QStringList& lines);

    // The captions of the dialog's texts from the language library; false when one failed.
    bool translate();

    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* okbtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void okbtnClick();

    QWidget* main_window_;
    const Languages& languages_;
    std::function<bool()> regular_mode_;
    QStringList lines_;
};
