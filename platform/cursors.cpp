#include "platform/cursors.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <array>

namespace {

constexpr int kHotSpotX = 10;  // the fingertip
constexpr int kHotSpotY = 1;

// On a screen of device pixel ratio above 1 the @2x picture, where there is one; the hot spot is
// in the cursor's logical pixels either way.
QCursor load_cursor(const QString& name) {
    QPixmap picture;
    if (QGuiApplication::primaryScreen() && QGuiApplication::primaryScreen()->devicePixelRatio() > 1 &&
        picture.load(":/cursors/" + name + "@2x.png"))
        picture.setDevicePixelRatio(2);
    else
        picture.load(":/cursors/" + name + ".png");
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
