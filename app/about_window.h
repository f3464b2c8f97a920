#pragma once

#include "presentation/picture_source.h"

#include <QDialog>

class Languages;
class QLabel;

// The About window: the style's title picture, the version, the project's mail and web addresses.
class Tabout_window : public QDialog {
public:
    Tabout_window(QWidget* main_window, const Languages& languages, PictureSource pictures, QString version);

    QLabel* Image1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QWidget* main_window_;
    const Languages& languages_;
    PictureSource pictures_;
    QString version_;
};
