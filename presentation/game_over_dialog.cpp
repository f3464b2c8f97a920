#include "presentation/game_over_dialog.h"

#include "localisation/languages.h"
#include "localisation/tag.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kWindowTag = 63;
constexpr int kOkResult = 1;
constexpr int kCloseDescription = 180;
constexpr int kScoreTextId = 150;
constexpr int kPlaceTextId = 151;

constexpr QSize kWindowSize(341, 295);
constexpr QRect kBevel(6, 7, 321, 169);
constexpr QSize kPictureArea(300, 150);  // a larger picture is cut to it, not shrunk
constexpr QRect kOkButton(104, 252, 129, 37);
constexpr int kScoreTop = 184;
constexpr int kTextHeight = 24;
constexpr int kOkGap = 12;

QLabel* result_label(QWidget* dialog, const char* name) {
    auto* label = new QLabel(dialog);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QRect centred_in(const QRect& frame, QSize size) {
    return {frame.x() + (frame.width() - size.width()) / 2, frame.y() + (frame.height() - size.height()) / 2,
            size.width(), size.height()};
}

}  // namespace

Tgame_over::Tgame_over(QWidget* main_window, const Languages& languages, PictureSource pictures)
    : QDialog(main_window), main_window_(main_window), languages_(languages), pictures_(std::move(pictures)) {
    setWindowTitle(" ");
    set_tag(this, kWindowTag);
    bevel_ = new QFrame(this);
    bevel_->setObjectName("go_bevel");
    bevel_->setFrameShape(QFrame::Box);
    bevel_->setFrameShadow(QFrame::Sunken);
    go_logo_ = new QLabel(this);
    go_logo_->setObjectName("go_logo");
    go_logo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    score_label_ = result_label(this, "ScoreText");
    place_label_ = result_label(this, "PlaceText");
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OKBtn");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &Tgame_over::hideGO);
    lay_out(kPictureArea);
}

void Tgame_over::show_result(int score, int rank, int table_size) {
    score_ = score;
    rank_ = rank;
    table_size_ = table_size;
}

void Tgame_over::reposition() {
    const std::optional<QPixmap> picture = pictures_("game_over");
    if (picture) go_logo_->setPixmap(*picture);
    move(main_window_->pos());
    languages_.set_caption(static_cast<QWidget*>(this));
    ok_->setAccessibleDescription(languages_.get_string(kCloseDescription));
    show_result_texts();
    lay_out(picture ? picture->deviceIndependentSize().toSize() : kPictureArea);
}

void Tgame_over::show_result_texts() {
    score_label_->setText(languages_.get_string(kScoreTextId).arg(score_));
    place_label_->setText(rank_ > 0 ? languages_.get_string(kPlaceTextId).arg(rank_).arg(table_size_) : QString());
    place_label_->setVisible(rank_ > 0);
}

// The dialog keeps its designed size unless the result's texts need more room: then it widens,
// the frame, the texts and the OK button staying centred on one line, or grows downwards, the
// OK button moving under the texts.
void Tgame_over::lay_out(QSize picture_size) {
    const QSize text = result_text_size();
    const int widening = std::max(0, text.width() - kBevel.width());
    const int shift = widening / 2;
    bevel_->setGeometry(kBevel.translated(shift, 0));
    go_logo_->setGeometry(centred_in(bevel_->geometry(), picture_size.boundedTo(kPictureArea)));
    score_label_->setGeometry(kBevel.x(), kScoreTop, kBevel.width() + widening, text.height());
    place_label_->setGeometry(score_label_->geometry().translated(0, text.height()));
    const int drop = std::max(0, place_label_->geometry().bottom() + kOkGap - kOkButton.top());
    ok_->setGeometry(kOkButton.translated(shift, drop));
    setFixedSize(kWindowSize.width() + widening, kWindowSize.height() + drop);
}

QSize Tgame_over::result_text_size() const {
    const QSize score = score_label_->sizeHint();
    const QSize place = place_label_->sizeHint();
    return {std::max(score.width(), place.width()), std::max({kTextHeight, score.height(), place.height()})};
}

void Tgame_over::showEvent(QShowEvent* event) {
    reposition();
    QDialog::showEvent(event);
}

void Tgame_over::hideGO() {
    hide();
    done(kOkResult);
}
