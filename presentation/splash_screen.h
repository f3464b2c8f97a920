#pragma once

#include <QPixmap>

// The title picture in a window without a frame, centred on the screen, for a moment at start-up.
// It stands for `wait_ms` with the program doing nothing else, then goes.
void show_splash_screen(const QPixmap& title, int wait_ms);
