#pragma once

#include <QDialog>

class Languages;
class QCheckBox;

// "The game goes on...": tells the player that the last game was restored. Result 1 for OK.
class Tautosave_notify1 : public QDialog {
public:
    Tautosave_notify1(QWidget* main_window, const Languages& languages);

    // "Don't tell me again" was ticked.
    bool dont_tell_again() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    const Languages& languages_;
    QCheckBox* CheckBox1;
};
