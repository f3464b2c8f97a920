#include "presentation/game_over_dialog.h"

#include "localisation/languages.h"
#include "localisation/tag.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWindowTag = 63;
constexpr int kOkResult = 1;

}  // namespace

Tgame_over::Tgame_over(QWidget* main_window, const Languages& languages, PictureSource pictures)
    : QDialog(main_window), main_window_(main_window), languages_(languages), pictures_(std::move(pictures)) {
    setFixedSize(341, 295);
    setWindowTitle(" ");
    set_tag(this, kWindowTag);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(6, 7, 321, 169);
    go_logo_ = new QLabel(this);
    go_logo_->setObjectName("go_logo");
    go_logo_->setGeometry(16, 16, 300, 150);
    go_logo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // a larger picture is cut, not shrunk
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKBtn");
    ok->setGeometry(104, 252, 129, 37);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Tgame_over::hideGO);
}

void Tgame_over::reposition() {
    if (const std::optional<QPixmap> picture = pictures_("game_over")) go_logo_->setPixmap(*picture);
    move(main_window_->pos());
    languages_.set_caption(static_cast<QWidget*>(this));
}

void Tgame_over::showEvent(QShowEvent* event) {
    reposition();
    QDialog::showEvent(event);
}

void Tgame_over::hideGO() {
    hide();
    done(kOkResult);
}
