#include "app/game_folder.h"
#include "app/main_window.h"
#include "platform/single_instance.h"
#include "platform/termination_signals.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// Stores everything as Quit does and ends the program. Inside a modal dialog the code that
// opened it would go on once it closes, and could change what was just stored: the process
// ends at once instead, with everything stored.
void end_now(TForm1& window) {
    window.shutdown();
    if (QApplication::activeModalWidget()) std::_Exit(EXIT_SUCCESS);
    QApplication::quit();
}

void bring_to_front(QWidget& window) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    window.activateWindow();
}

// A second copy would load the store now and overwrite what the running copy stores later: it
// shows the running copy's window instead and ends without writing anything.
int hand_over_to_running_copy(const SingleInstance& guard) {
    if (ask_running_copy_to_raise(guard.lock_path()))
        std::fputs("Quorvel is already running; its window was brought to the front.\n", stderr);
    else
        std::fputs("Quorvel is already running but did not answer; this copy ends.\n", stderr);
    return EXIT_SUCCESS;
}

}  // namespace

// QUORVEL: the program entry.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Linvara!");
    QGuiApplication::setDesktopFileName(QUORVEL_APP_ID);
    SingleInstance guard;
    if (guard.another_copy_runs()) return hand_over_to_running_copy(guard);
    const GameFolders folders = find_game_folders(QCoreApplication::applicationDirPath(), QUORVEL_DATA_FROM_BINARY);
    if (!enter_game_folders(folders)) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              "The game folder " + folders.working + " could not be made.");
        return EXIT_FAILURE;
    }
    try {
        // A signal during start-up ends the game as soon as it stands.
        TForm1* running = nullptr;
        bool asked_to_end = false;
        const auto end_request = [&] {
            if (running) end_now(*running);
            asked_to_end = true;
        };
        const TerminationSignals termination([&](int) { end_request(); });
        QObject::connect(&application, &QGuiApplication::commitDataRequest, [&](QSessionManager&) { end_request(); });
        TForm1 Form1;
        running = &Form1;
        if (asked_to_end) return EXIT_SUCCESS;  // Form1's destructor stores everything
        guard.serve_later_copies([window = QPointer<TForm1>(&Form1)] {
            if (window) bring_to_front(*window);
        });
        Form1.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), error.what());
        return EXIT_FAILURE;
    }
}
