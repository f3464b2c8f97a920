#include "modal_guard.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    install_modal_guard(app);
    // Every temporary folder of the run goes in here, also those of death-test children, which
    // exit without unwinding: removing this one folder at exit leaves nothing behind.
    static QTemporaryDir run_folder;
    if (run_folder.isValid()) qputenv("TMPDIR", QFile::encodeName(run_folder.path()));
    testing::InitGoogleTest(&argc, argv);
    // Qt runs threads of its own; death tests re-run the program instead of forking it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
