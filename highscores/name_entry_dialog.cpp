#include "highscores/name_entry_dialog.h"

#include "localisation/languages.h"
#include "localisation/tag.h"
#include "presentation/dialog_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kDesignWidth = 369;
constexpr int kMargin = 8;
constexpr int kOkResult = 1;
// The dialog heights below are outer heights, title bar and frame included.
constexpr int kFrameHeight = 29;
constexpr int kNameFormHeight = 134;
constexpr int kPostingFormHeight = 270;

QLabel* make_label(QWidget* parent, const char* name, int top) {
    auto* label = place(new QLabel(parent), name, 0, QPoint(8, top));
    QFont font = label->font();
    font.setPixelSize(13);
    label->setFont(font);
    return label;
}

QLineEdit* make_edit(QWidget* parent, const char* name, int top) {
    return place(new QLineEdit(parent), name, 0, QRect(8, top, 249, 21));
}

}  // namespace

Tname_enter::Tname_enter(QWidget* main_window, const Languages& languages)
    : QDialog(main_window), main_window_(main_window), languages_(languages) {
    setFixedSize(kDesignWidth, 241);
    setWindowTitle("Please enter Your name");
    Label1 = make_label(this, "Label1", 8);
    Label2 = make_label(this, "Label2", 32);
    Edit1 = make_edit(this, "Edit1", 48);
    okbtn = new QPushButton("OK", this);
    okbtn->setObjectName("okbtn");
    okbtn->setGeometry(272, 48, 89, 33);
    okbtn->setDefault(true);
    Label3 = make_label(this, "Label3", 72);
    Edit2 = make_edit(this, "Edit2", 88);
    Label4 = make_label(this, "Label4", 112);
    Edit3 = make_edit(this, "Edit3", 128);
    // Screen readers name each field by the label above it.
    Label2->setBuddy(Edit1);
    Label3->setBuddy(Edit2);
    Label4->setBuddy(Edit3);
    for (QLineEdit* edit : {Edit1, Edit2, Edit3}) connect(edit, &QLineEdit::textChanged, this, &Tname_enter::Edit1Change);
    connect(okbtn, &QPushButton::clicked, this, &Tname_enter::okbtnClick);
}

void Tname_enter::prepare_name_form() {
    set_texts(301, {{Label1, 302}, {Label2, 303}});
    Edit1->show();
    for (QWidget* second_rows : std::initializer_list<QWidget*>{Label3, Label4, Edit2, Edit3}) second_rows->hide();
    set_height(kNameFormHeight);
}

void Tname_enter::prepare_posting_form() {
    set_texts(93, {{Label1, 94}, {Label2, 95}, {Label3, 96}, {Label4, 97}});
    Edit1->setText("d");
    Edit1->hide();
    for (QWidget* second_rows : std::initializer_list<QWidget*>{Label3, Label4, Edit2, Edit3}) second_rows->show();
    set_height(kPostingFormHeight);
}

// As wide as the longest text of this language needs. Both forms confirm with the OK of the
// game end's texts, in the language of the moment.
void Tname_enter::set_texts(int caption, std::initializer_list<std::pair<QLabel*, int>> labels) {
    setWindowTitle(languages_.get_string(caption));
    set_tag(okbtn, 305);
    languages_.set_caption(okbtn);
    int width = kDesignWidth;
    for (const auto& [label, id] : labels) {
        label->setText(languages_.get_string(id));
        label->adjustSize();
        width = std::max(width, label->x() + label->width() + kMargin);
    }
    setFixedWidth(width);
}

void Tname_enter::set_height(int height) { setFixedHeight(height - kFrameHeight); }

void Tname_enter::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tname_enter::FormShow() {
    move(main_window_->x() - 20, main_window_->y() + 40);
    Edit1Change();
}

void Tname_enter::Edit1Change() {
    valid = Edit2->isHidden() ? !Edit1->text().isEmpty()
                              : !Edit1->text().isEmpty() && !Edit2->text().isEmpty() && !Edit3->text().isEmpty();
    okbtn->setEnabled(valid);
}

// The close box and Escape both come here: they close the dialog as OK does, and only when it may.
void Tname_enter::reject() {
    if (valid) okbtnClick();
}

void Tname_enter::okbtnClick() {
    hide();
    done(kOkResult);
}
