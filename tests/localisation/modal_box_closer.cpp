#include "modal_box_closer.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

ModalBoxCloser::ModalBoxCloser() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        caption = box->windowTitle();
        text = box->text();
        ++boxes_closed;
        std::fprintf(stderr, "message box [%s] %s\n", qPrintable(caption), qPrintable(text));
        box->done(QMessageBox::Ok);
    });
    timer_.start();
}
