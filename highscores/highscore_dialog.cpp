#include "highscores/highscore_dialog.h"

#include "localisation/languages.h"
#include "localisation/tag.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

constexpr int kRegularCaption = 86;
constexpr int kDifficultCaption = 87;
constexpr int kLabelWidth = 96;
constexpr int kOkResult = 1;

QFont pixel_font(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}

// The columns of the tables are padded with blanks for Times New Roman; Liberation Serif has the
// same widths.
QFont table_font() {
    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif"});
    font.setStyleHint(QFont::Serif);
    return pixel_font(font, 15);
}

// A line break or other control character in a name would shift the lines below it in the view.
QString shown_line(QString line) {
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = ' ';
    return line;
}

}  // namespace

THighscores::THighscores(QWidget* main_window, const Languages& languages, QStringList tables,
                         std::function<bool()> regular_mode)
    : QDialog(main_window), main_window_(main_window), languages_(languages), regular_mode_(std::move(regular_mode)) {
    setFixedSize(309, 327);
    Label1 = new QLabel("Highscores", this);
    Label1->setObjectName("Label1");
    set_tag(Label1, 81);
    Label1->setGeometry(8, 16, kLabelWidth, 24);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(pixel_font(Label1->font(), 19));
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 56, 297, 217);
    Memo1 = new QPlainTextEdit(panel);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 8, 281, 201);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(table_font());
    okbtn = new QPushButton("OK", this);
    okbtn->setObjectName("okbtn");
    set_tag(okbtn, 83);
    okbtn->setGeometry(88, 288, 137, 33);
    okbtn->setDefault(true);
    connect(okbtn, &QPushButton::clicked, this, &THighscores::okbtnClick);
    set_lines(tables);
}

void THighscores::set_lines(const QStringList& lines) {
    lines_ = lines;
    QStringList shown;
    for (const QString& line : lines_) shown.append(shown_line(line));
    Memo1->setPlainText(shown.join('\n'));
}

// "Highscores" stays centred where it was designed and grows when a language needs more room.
bool THighscores::translate() {
    const bool label = languages_.set_caption(Label1);
    Label1->resize(std::max(kLabelWidth, Label1->sizeHint().width()), Label1->height());
    const bool button = languages_.set_caption(okbtn);
    return label && button;
}

void THighscores::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void THighscores::FormShow() {
    move(main_window_->x() - 10, main_window_->y());
    setWindowTitle(languages_.get_string(regular_mode_() ? kRegularCaption : kDifficultCaption));
    translate();
}

void THighscores::okbtnClick() {
    hide();
    done(kOkResult);
}
