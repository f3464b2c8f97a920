#include "presentation/colour_depth_warning.h"

#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"
#include "presentation/dialog_controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kDesignWidth = 343;
constexpr int kOkLeft = 248;

}  // namespace

Tcd_warning1::Tcd_warning1(QWidget* main_window, const Languages& languages, const AddressOpener& address_opener)
    : QDialog(main_window), languages_(languages), address_opener_(address_opener) {
    setFixedSize(kDesignWidth, 181);
    setWindowTitle("Warning! Please read closely!");
    set_tag(this, 30);
    place(new QLabel("You are currently running Windows at 256 Colors or less.", this), "Label1", 31, QPoint(8, 8));
    place(new QLabel("Quorvel will run at this color resolution, but it might look much better", this), "Label2", 32,
          QPoint(8, 32));
    place(new QLabel("with a higher color depth. It is therefore recommended that you", this), "Label3", 33,
          QPoint(8, 56));
    place(new QLabel("switch to High or True Color and restart Quorvel.", this), "Label4", 34, QPoint(8, 80));
    CheckBox1 = place(new QCheckBox("Never warn me again", this), "CheckBox1", 35, QRect(8, 112, 161, 17));
    QPushButton* ok = place(new QPushButton("OK", this), "Button1", 36, QRect(kOkLeft, 144, 89, 33));
    ok->setDefault(true);
    QPushButton* help = place(new QPushButton("Help", this), "Button2", 37, QRect(8, 144, 81, 33));
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(help, &QPushButton::clicked, this, &Tcd_warning1::Button2Click);
}

bool Tcd_warning1::never_warn_again() const { return CheckBox1->isChecked(); }

void Tcd_warning1::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

// Centred on the screen, and as wide as the texts of this language need.
void Tcd_warning1::FormShow() {
    languages_.set_caption(static_cast<QWidget*>(this));
    const int width = caption_labels(this, languages_, kDesignWidth);
    languages_.set_caption(CheckBox1);
    CheckBox1->adjustSize();
    for (QPushButton* button : findChildren<QPushButton*>()) languages_.set_caption(button);
    setFixedSize(width, height());
    findChild<QPushButton*>("Button1")->move(width - kDesignWidth + kOkLeft, 144);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void Tcd_warning1::Button2Click() { show_help_topic(this, QString::fromLatin1(languages_.block().colour_depth_topic), languages_, address_opener_); }
