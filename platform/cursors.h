#pragma once

#include <QCursor>

// The board cursors: 1 "pickhand", 2 "pickhand2", 3 "nohand"; anything else is the arrow.
QCursor board_cursor(int number);
