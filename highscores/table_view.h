#pragma once

#include <QFont>
#include <QString>

class QPlainTextEdit;
class QRect;
class QWidget;

// The columns of the tables are padded with blanks for Times New Roman; Liberation Serif has the
// same widths.
QFont table_font();
// A line as a memo shows it: a line break or other control character in a name would shift the
// lines below it, so each becomes a blank; and a memo lays out a line of a million characters
// for minutes, so a line is cut where no table column reaches.
QString shown_line(QString line);
// A read-only memo without word wrap in the table font.
QPlainTextEdit* table_memo(QWidget* parent, const char* name, const QRect& bounds);
