#include "app/window_placement.h"

namespace {

constexpr int kTitleBarHeight = 24;

qint64 area(const QRect& rect) { return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height(); }

bool shows_a_quarter(const QRect& screen, const QRect& part) {
    return 4 * area(screen.intersected(part)) >= area(part);
}

}  // namespace

QPoint visible_position(QPoint stored, QSize size, const QList<QRect>& screens, QRect primary) {
    const QRect window(stored, size);
    const QRect title_bar(stored, QSize(size.width(), kTitleBarHeight));
    for (const QRect& screen : screens)
        if (shows_a_quarter(screen, window) && shows_a_quarter(screen, title_bar)) return stored;
    return primary.topLeft() + QPoint((primary.width() - size.width()) / 2, (primary.height() - size.height()) / 2);
}
