#include "presentation/splash_screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace {

constexpr int kLongestWaitForScreenMs = 500;

}  // namespace

void show_splash_screen(const QPixmap& title, int wait_ms) {
    QLabel splashscreen1;
    splashscreen1.setObjectName("splashscreen1");
    splashscreen1.setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    splashscreen1.setPixmap(title);
    const QSize size = title.deviceIndependentSize().toSize();
    splashscreen1.setFixedSize(size);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    splashscreen1.move(screen.center() - QPoint(size.width() / 2, size.height() / 2));
    splashscreen1.show();
    // Until the window system has put the window on screen; then the picture is drawn at once.
    QElapsedTimer waited;
    waited.start();
    while (!splashscreen1.windowHandle()->isExposed() && waited.elapsed() < kLongestWaitForScreenMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    splashscreen1.repaint();
    QGuiApplication::sync();
    QThread::msleep(static_cast<unsigned long>(wait_ms));
    splashscreen1.hide();
}
