#include "platform/cursors.h"

#include <QPixmap>

#include <array>

namespace {

constexpr int kHotSpotX = 10;  // the fingertip
constexpr int kHotSpotY = 1;

QCursor load_cursor(const QString& name) {
    const QPixmap picture(":/cursors/" + name + ".png");
    if (picture.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(picture, kHotSpotX, kHotSpotY);
}

}  // namespace

QCursor board_cursor(int number) {
    static const std::array<QCursor, 3> cursors{load_cursor("pickhand"), load_cursor("pickhand2"),
                                                load_cursor("nohand")};
    if (number < 1 || number > 3) return QCursor(Qt::ArrowCursor);
    return cursors[static_cast<std::size_t>(number - 1)];
}
