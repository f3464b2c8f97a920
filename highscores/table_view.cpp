#include "highscores/table_view.h"

#include <QPlainTextEdit>
#include <QRect>

QFont table_font() {
    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif"});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(15);
    return font;
}

QString shown_line(QString line) {
    constexpr qsizetype kShownCharacters = 200;
    line.truncate(kShownCharacters);
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = ' ';
    return line;
}

QPlainTextEdit* table_memo(QWidget* parent, const char* name, const QRect& bounds) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setGeometry(bounds);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFont(table_font());
    return memo;
}
