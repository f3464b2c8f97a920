#pragma once

#include <QDialog>

class AddressOpener;
class Languages;
class QCheckBox;

// "Warning! Please read closely!": a screen of 256 colours or less has no low-colour style to use.
// OK and the close box end it alike; Help opens the colour-depth help topic.
class Tcd_warning1 : public QDialog {
public:
    Tcd_warning1(QWidget* main_window, const Languages& languages, const AddressOpener& address_opener);

    // "Never warn me again" was ticked.
    bool never_warn_again() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Button2Click();

    const Languages& languages_;
    const AddressOpener& address_opener_;
    QCheckBox* CheckBox1;
};
