#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window of `size` goes for its stored top-left corner: there, when some screen shows at
// least a quarter of the window and a quarter of its title bar, so it can be seen and dragged;
// otherwise centred on the primary screen (a monitor since unplugged, a changed resolution).
QPoint visible_position(QPoint stored, QSize size, const QList<QRect>& screens, QRect primary);
