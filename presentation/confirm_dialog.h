#pragma once

#include <QDialog>

class Languages;

// "Are you sure?" before the difficulty changes. Result 2 for "Yes" (and for the window's close
// box), 1 for "No".
class TConfirm1 : public QDialog {
public:
    static constexpr int kYes = 2;
    static constexpr int kNo = 1;

    TConfirm1(QWidget* main_window, const Languages& languages);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fit_width_to_texts();

    QWidget* main_window_;
    const Languages& languages_;
};
