#include "highscores/table_view.h"

#include <QPainter>
#include <QRect>
#include <QStringList>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int kLocalEntries = 9;
constexpr int kPointsStart = 6;  // where an entry line's points begin
constexpr int kGap = 8;
constexpr double kCountryShare = 0.64;  // of the width, where the place column begins

}  // namespace

QString shown_line(QString line) {
    constexpr qsizetype kShownCharacters = 200;
    line.truncate(kShownCharacters);
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = ' ';
    return line;
}

TableMemo* table_memo(QWidget* parent, const char* name, const QRect& bounds) {
    auto* memo = new TableMemo(parent);
    memo->setObjectName(name);
    memo->setGeometry(bounds);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return memo;
}

std::vector<TableRow> local_table_rows(const QStringList& lines) {
    std::vector<TableRow> rows;
    for (const QString& line : lines.mid(0, kLocalEntries)) {
        if (line.size() <= kPointsStart) continue;
        const qsizetype points_end = line.indexOf(' ', kPointsStart);
        const QString points = line.mid(kPointsStart, points_end < 0 ? -1 : points_end - kPointsStart);
        const QString name = points_end < 0 ? QString() : line.mid(points_end).trimmed();
        rows.push_back({line.left(kPointsStart).trimmed(), points, name, {}});
    }
    return rows;
}

// Rows belong to the text they were set with: a new text is shown as it is until rows come again.
TableMemo::TableMemo(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        rows_.clear();
        highlighted_ = -1;
    });
}

void TableMemo::set_rows(std::vector<TableRow> rows) {
    rows_ = std::move(rows);
    highlighted_ = -1;
    viewport()->update();
}

void TableMemo::highlight_row(int row) {
    highlighted_ = row;
    viewport()->update();
}

// Columns from the widest rank and points of the rows; the place takes the right part when there is one.
QRect TableMemo::cell(int row, TableColumn column) const {
    const QFontMetrics metrics(font());
    int rank_width = 0;
    int points_width = 0;
    bool places = false;
    for (const TableRow& r : rows_) {
        rank_width = std::max(rank_width, metrics.horizontalAdvance(r.rank) + 1);  // whole pixels round down
        points_width = std::max(points_width, metrics.horizontalAdvance(r.points) + 1);
        places = places || !r.country.isEmpty();
    }
    const int margin = static_cast<int>(document()->documentMargin());
    const int width = viewport()->width() - 2 * margin;
    const int top = margin + row * metrics.lineSpacing();
    const int points_left = margin + (rank_width > 0 ? rank_width + kGap : 0);
    const int name_left = points_left + points_width + 2 * kGap;
    const int country_left = places ? margin + static_cast<int>(width * kCountryShare) : margin + width;
    const auto span = [&](int left, int right) { return QRect(left, top, std::max(0, right - left), metrics.lineSpacing()); };
    switch (column) {
    case TableColumn::Rank: return span(margin, margin + rank_width);
    case TableColumn::Points: return span(points_left, points_left + points_width);
    case TableColumn::Name: return span(name_left, country_left - kGap);
    case TableColumn::Country: return span(country_left, margin + width);
    }
    return {};
}

void TableMemo::paintEvent(QPaintEvent* event) {
    if (rows_.empty()) return QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setFont(font());
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const TableRow& r = rows_[static_cast<std::size_t>(row)];
        const bool highlighted = row == highlighted_;
        if (highlighted)
            painter.fillRect(cell(row, TableColumn::Rank).united(cell(row, TableColumn::Country)), palette().highlight());
        painter.setPen(highlighted ? palette().highlightedText().color() : palette().text().color());
        // Rank and points always fit their columns, which are as wide as their widest; names may not.
        const auto draw = [&](TableColumn column, const QString& text, Qt::Alignment alignment) {
            const QRect place = cell(row, column);
            const bool fits = column == TableColumn::Rank || column == TableColumn::Points;
            painter.drawText(place, alignment | Qt::AlignVCenter,
                             fits ? text : painter.fontMetrics().elidedText(text, Qt::ElideRight, place.width()));
        };
        draw(TableColumn::Rank, r.rank, Qt::AlignLeft);
        draw(TableColumn::Points, r.points, Qt::AlignRight);
        draw(TableColumn::Name, r.name, Qt::AlignLeft);
        draw(TableColumn::Country, r.country, Qt::AlignLeft);
    }
}
