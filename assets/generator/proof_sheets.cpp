#include "proof_sheets.h"

#include "frame_art.h"
#include "paint_kit.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr int kSheetWidth = 1400;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 14;
constexpr int kHeadingHeight = 28;
constexpr int kGap = 20;

struct Cell {
    const NamedPicture* picture;
    QPoint at;
};

// Flows the pictures into rows no wider than the sheet; returns the height used.
int lay_out(const std::vector<NamedPicture>& pictures, int top, const QFontMetrics& metrics,
            std::vector<Cell>& cells) {
    int x = kMargin;
    int y = top;
    int row_height = 0;
    for (const NamedPicture& picture : pictures) {
        const int width = std::max(picture.image.width(), metrics.horizontalAdvance(picture.name));
        if (x + width > kSheetWidth - kMargin && x > kMargin) {
            x = kMargin;
            y += row_height + kMargin;
            row_height = 0;
        }
        cells.push_back({&picture, QPoint(x, y)});
        x += width + kMargin;
        row_height = std::max(row_height, picture.image.height() + kLabelHeight);
    }
    return y + row_height + kMargin - top;
}

// The game in progress that the mock board shows: one letter per field.
constexpr std::array<const char*, 9> kMockGame{
    "....Y....", ".RR.R.R..", "..B..G...", ".PL.jK...", "...q.B.Y.",
    ".G..s..L.", "..d...P..", ".K..x.R..", "..Y..1.BB",
};

QString picture_for(char field) {
    static const std::map<char, QString> kNames{
        {'.', "empty"},       {'R', "red0005"},   {'G', "green0005"},  {'B', "blue0005"},
        {'Y', "yellow0005"},  {'L', "lblue0005"}, {'K', "black0005"},  {'P', "purple0005"},
        {'j', "joker0005"},   {'q', "quest0005"}, {'d', "dynamit0005"}, {'s', "green0008"},
        {'x', "dynamit0012"}, {'1', "red0002"},
    };
    return kNames.at(field);
}

void draw_mock_window(QPainter& painter, const std::map<QString, QImage>& pictures) {
    for (int strip = 0; strip < 4; ++strip)
        painter.drawImage(kFrameStripAreas[strip].topLeft(),
                          pictures.at(QStringLiteral("main%1").arg(strip + 1)));
    for (int row = 0; row < 9; ++row)
        for (int column = 0; column < 9; ++column)
            painter.drawImage(kBoardArea.topLeft() + QPoint(column, row) * kFieldSize,
                              pictures.at(picture_for(kMockGame.at(row)[column])));
    const std::array<QString, 3> preview{"red0005", "joker0005", "lblue0005"};
    for (int slot = 0; slot < 3; ++slot)
        painter.drawImage(QPoint(kPreviewLeft, kPreviewTop + kPreviewStep * slot),
                          pictures.at(preview.at(static_cast<std::size_t>(slot))));
    const QString score = QStringLiteral("0125");
    for (int k = 0; k < 4; ++k)
        painter.drawImage(kScoreDigitsArea.topLeft() + QPoint(30 * k, 0),
                          pictures.at(QStringLiteral("lcd") + score[k]));
}

}  // namespace

QImage contact_sheet(const std::vector<StyleProof>& styles) {
    const QFont label_font = lettering_font(10, QFont::Normal);
    const QFontMetrics metrics(label_font);
    std::vector<Cell> cells;
    std::vector<std::pair<QString, int>> headings;
    int height = kMargin;
    for (const auto& [title, pictures] : styles) {
        headings.emplace_back(title, height);
        height += kHeadingHeight;
        height += lay_out(pictures, height, metrics, cells) + kGap;
    }
    QImage sheet(kSheetWidth, height, QImage::Format_RGB32);
    sheet.fill(QColor(0xee, 0xee, 0xe8));
    QPainter painter(&sheet);
    painter.setFont(lettering_font(16, QFont::Bold));
    for (const auto& [title, top] : headings)
        painter.drawText(QPoint(kMargin, top + 18), title);
    painter.setFont(label_font);
    for (const Cell& cell : cells) {
        painter.drawImage(cell.at, cell.picture->image);
        painter.drawText(cell.at + QPoint(0, cell.picture->image.height() + 11),
                         cell.picture->name);
    }
    return sheet;
}

QImage mock_board(const std::vector<StyleProof>& styles) {
    const int count = static_cast<int>(styles.size());
    QImage board(count * kWindowArea.width() + (count - 1) * kGap, kWindowArea.height(),
                 QImage::Format_RGB32);
    board.fill(Qt::white);
    QPainter painter(&board);
    for (int i = 0; i < count; ++i) {
        std::map<QString, QImage> pictures;
        for (const NamedPicture& picture : styles.at(static_cast<std::size_t>(i)).second)
            pictures[picture.name] = picture.image;
        painter.save();
        painter.translate(i * (kWindowArea.width() + kGap), 0);
        draw_mock_window(painter, pictures);
        painter.restore();
    }
    return board;
}
