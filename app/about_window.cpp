#include "app/about_window.h"

#include "localisation/languages.h"
#include "localisation/tag.h"
#include "platform/project_addresses.h"
#include "presentation/graphic_style.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace {

constexpr int kOkResult = 1;
constexpr int kTextsLeft = 272;

QLabel* make_line(QWidget* parent, const char* name, int top) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->move(kTextsLeft, top);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A title larger than the picture box is shrunk to fit it, in the picture's own pixels so a @2x
// title stays sharp.
QPixmap fitted(const QPixmap& title, QSize box) {
    const QSize size = logical_size(title);
    if (size.width() <= box.width() && size.height() <= box.height()) return title;
    QPixmap shrunk = title.scaled(box * title.devicePixelRatio(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shrunk.setDevicePixelRatio(title.devicePixelRatio());
    return shrunk;
}

}  // namespace

Tabout_window::Tabout_window(QWidget* main_window, const Languages& languages, PictureSource pictures,
                             QString version)
    : QDialog(main_window),
      main_window_(main_window),
      languages_(languages),
      pictures_(std::move(pictures)),
      version_(std::move(version)) {
    setFixedSize(561, 291);
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 8, 257, 233);
    Image1 = new QLabel(panel);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 8, 241, 215);
    Image1->setAlignment(Qt::AlignCenter);  // a larger picture is shrunk to fit, whole
    Label2 = make_line(this, "Label2", 16);
    Label3 = make_line(this, "Label3", 48);
    Label4 = make_line(this, "Label4", 80);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    set_tag(ok, 214);
    ok->setGeometry(400, 208, 129, 33);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(kOkResult); });
}

void Tabout_window::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tabout_window::FormShow() {
    move(main_window_->pos());
    if (const std::optional<QPixmap> title = pictures_("title")) Image1->setPixmap(fitted(*title, Image1->size()));
    languages_.set_caption(findChild<QPushButton*>("BitBtn1"));
    Label2->setText(languages_.get_string(24) + " " + version_);
    Label3->setText(languages_.get_string(212) + " " + project_contact_address());
    Label4->setText(languages_.get_string(201) + project_web_address());
    for (QLabel* line : {Label2, Label3, Label4}) line->adjustSize();
}
