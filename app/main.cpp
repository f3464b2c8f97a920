#include "app/main_window.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

// QUORVEL: the program entry.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Linvara!");
    try {
        TForm1 Form1;
        Form1.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), error.what());
        return EXIT_FAILURE;
    }
}
