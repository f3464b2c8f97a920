#include "presentation/autosave_notice.h"

#include "localisation/languages.h"
#include "presentation/dialog_controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kDesignWidth = 343;

}  // namespace

Tautosave_notify1::Tautosave_notify1(QWidget* main_window, const Languages& languages)
    : QDialog(main_window), languages_(languages) {
    setFixedSize(kDesignWidth, 120);
    setWindowTitle("The game goes on...");
    set_tag(this, 25);
    place(new QLabel("Your last game has automatically been loaded. You can turn off this", this), "Label1", 26,
          QPoint(8, 16));
    place(new QLabel("feature by clicking on \"Settings\" and \"Autosave Game\"", this), "Label2", 27, QPoint(8, 40));
    CheckBox1 = place(new QCheckBox("don't tell me again", this), "CheckBox1", 28, QRect(8, 80, 201, 17));
    QPushButton* ok = place(new QPushButton("OK", this), "Button1", 29, QRect(248, 80, 89, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
}

bool Tautosave_notify1::dont_tell_again() const { return CheckBox1->isChecked(); }

// Centred on the screen, and as wide as the texts of this language need.
void Tautosave_notify1::showEvent(QShowEvent* event) {
    languages_.set_caption(static_cast<QWidget*>(this));
    const int width = caption_labels(this, languages_, kDesignWidth);
    languages_.set_caption(CheckBox1);
    languages_.set_caption(findChild<QPushButton*>("Button1"));
    CheckBox1->adjustSize();
    setFixedSize(width, height());
    findChild<QPushButton*>("Button1")->move(width - kDesignWidth + 248, 80);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
