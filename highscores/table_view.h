#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <vector>

class QRect;
class QWidget;

// One row of a table as drawn: the rank ("3.", or empty for the web table), the points, the name
// and, in the web table, the place.
struct TableRow {
    QString rank;
    QString points;
    QString name;
    QString country;
};

// The columns of a drawn table.
enum class TableColumn { Rank, Points, Name, Country };

// A memo whose text stays as it is, for everything that reads it, but which draws its rows, when
// it has any, in aligned columns in the font of its window: the points right-aligned, whatever
// their number of digits; one row can be highlighted. Without rows, or once its text changes, it
// shows its text.
class TableMemo : public QPlainTextEdit {
public:
    explicit TableMemo(QWidget* parent);

    void set_rows(std::vector<TableRow> rows);
    const std::vector<TableRow>& rows() const { return rows_; }
    // -1: none.
    void highlight_row(int row);
    int highlighted_row() const { return highlighted_; }
    // Where a row's cell is drawn, in the memo's viewport.
    QRect cell(int row, TableColumn column) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TableRow> rows_;
    int highlighted_ = -1;
};

// The rows of the local table among the highscore lines (the first nine): rank, points and name
// as the lines hold them.
std::vector<TableRow> local_table_rows(const QStringList& lines);

// A line as a memo shows it: a line break or other control character in a name would shift the
// lines below it, so each becomes a blank; and a memo lays out a line of a million characters
// for minutes, so a line is cut where no table column reaches.
QString shown_line(QString line);
// A read-only table memo without word wrap, in the font of its window.
TableMemo* table_memo(QWidget* parent, const char* name, const QRect& bounds);
