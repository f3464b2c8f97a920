#include "presentation/colour_depth_warning.h"

#include "localisation/help_window.h"
#include "localisation/languages.h"
#include "localisation/tag.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kDesignWidth = 343;
constexpr int kMargin = 8;
constexpr int kOkLeft = 248;

QLabel* make_label(QWidget* parent, const char* name, const char* text, int tag, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    set_tag(label, tag);
    label->move(8, top);
    return label;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* text, int tag, QRect bounds) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    set_tag(button, tag);
    button->setGeometry(bounds);
    return button;
}

}  // namespace

Tcd_warning1::Tcd_warning1(QWidget* main_window, const Languages& languages)
    : QDialog(main_window), languages_(languages) {
    setFixedSize(kDesignWidth, 181);
    setWindowTitle("Warning! Please read closely!");
    set_tag(this, 30);
    make_label(this, "Label1", "You are currently running Windows at 256 Colors or less.", 31, 8);
    make_label(this, "Label2", "Quorvel will run at this color resolution, but it might look much better", 32, 32);
    make_label(this, "Label3", "with a higher color depth. It is therefore recommended that you", 33, 56);
    make_label(this, "Label4", "switch to High or True Color and restart Quorvel.", 34, 80);
    CheckBox1 = new QCheckBox("Never warn me again", this);
    CheckBox1->setObjectName("CheckBox1");
    set_tag(CheckBox1, 35);
    CheckBox1->setGeometry(8, 112, 161, 17);
    QPushButton* ok = make_button(this, "Button1", "OK", 36, QRect(kOkLeft, 144, 89, 33));
    ok->setDefault(true);
    QPushButton* help = make_button(this, "Button2", "Help", 37, QRect(8, 144, 81, 33));
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
    int width = kDesignWidth;
    for (QLabel* label : findChildren<QLabel*>()) {
        languages_.set_caption(label);
        label->adjustSize();
        width = std::max(width, label->x() + label->width() + kMargin);
    }
    languages_.set_caption(CheckBox1);
    CheckBox1->adjustSize();
    for (QPushButton* button : findChildren<QPushButton*>()) languages_.set_caption(button);
    setFixedSize(width, height());
    findChild<QPushButton*>("Button1")->move(width - kDesignWidth + kOkLeft, 144);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void Tcd_warning1::Button2Click() { show_help_topic(this, "IDH_256"); }
