#include "game_fixture.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

void copy_folder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
}

}  // namespace

void GameFolder::SetUp() {
    ASSERT_TRUE(work.isValid() && config.isValid());
    copy_folder(QUORVEL_GAME_DIR, work.path());
    QFile::remove(path("quorvel"));
    previous_directory = QDir::currentPath();
    QDir::setCurrent(work.path());
    use_config_folder(config.path());
}

void GameFolder::TearDown() { QDir::setCurrent(previous_directory); }

std::unique_ptr<TForm1> GameFolder::start(int color_depth) {
    return std::make_unique<TForm1>(TForm1::Options{0, color_depth, &random, &clock});
}

void GameFolder::store_setting(int line, const QByteArray& plain) {
    Registry registry;
    SettingsList settings;
    settings.load_settings(registry);
    settings.set_line(line, QString::fromUtf8(plain));
    settings.save_settings(registry);
}

QByteArray GameFolder::stored_setting(int line) const {
    return rotate_text(Registry().read_string("set", QString::number(line + 1)));
}

void use_config_folder(const QString& folder) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

bool answer_game_end(QWidget* dialog, const QString& name) {
    if (auto* name_entry = dialog->findChild<QLineEdit*>("Edit1")) name_entry->setText(name);
    for (const char* ok : {"OKBtn", "okbtn"})
        if (auto* button = dialog->findChild<QPushButton*>(ok)) {
            button->click();
            return true;
        }
    return false;
}

void start_real_game(QProcess& game, const QString& config_folder, const QString& display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config_folder);
    environment.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
    environment.insert("DISPLAY", display);
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");
    game.setProcessEnvironment(environment);
    game.start(QUORVEL_GAME_DIR "/quorvel", {});
}

// Bit signal - 1 of SigCgt in the process's status.
bool catches_signal(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

bool run_until(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }
