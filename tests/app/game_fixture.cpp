#include "game_fixture.h"

#include "app/settings_store.h"
#include "platform/registry.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMouseEvent>
#include <QSettings>

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
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
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
    QSettings store("Corvatek", "linvara");
    return rotate_text(store.value("set/" + QString::number(line + 1)).toString().toLatin1());
}

void click(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}
