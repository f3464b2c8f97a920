// How long the game's window stands still while the store cannot be saved. Starts the real main
// window offscreen with its store in a fresh folder, arranges a trouble, and prints the longest
// gap a 5 ms timer sees over the start, a settled turn and a mode change, and how long Quit takes.
//
//   store_stall_bench [none|lock-folder|lock-held|full-disk]
//
// full-disk mounts a 64 KiB tmpfs over the store's folder and fills it (root only).
#include "app/main_window.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "app/field_label.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/mount.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The longest time between two ticks of a 5 ms timer, since the last reset.
class GapWatch {
public:
    GapWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.restart());
        });
        timer_.start(5);
        clock_.start();
    }
    qint64 take() {
        const qint64 longest = std::max(longest_, clock_.elapsed());
        longest_ = 0;
        clock_.restart();
        return longest;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// Answers every modal window at once as a player would: Yes, OK, a name. Counts the store's warnings.
class Player : public QObject {
public:
    Player() {
        connect(&timer_, &QTimer::timeout, this, &Player::answer);
        timer_.start(1);
    }
    int warnings = 0;
    QString last_warning;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++warnings;
            last_warning = box->text();
            return box->accept();
        }
        if (auto* name = modal->findChild<QLineEdit*>("Edit1"); name && name->isVisible()) name->setText("Bench");
        for (const char* button : {"Button1", "OKBtn", "okbtn"})
            if (auto* found = modal->findChild<QAbstractButton*>(button); found && found->isVisible()) return found->click();
    }
    QTimer timer_;
};

void run_for(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool arrange(const QString& trouble, const QString& folder, QLockFile& held) {
    QDir().mkpath(folder);
    if (trouble == "lock-folder") return QDir().mkpath(folder + "/linvara.conf.lock");
    if (trouble == "lock-held") return held.tryLock(0);
    if (trouble != "full-disk") return trouble == "none";
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0) return false;
    QFile filler(folder + "/filler");
    if (!filler.open(QIODevice::WriteOnly)) return false;
    while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString trouble = argc > 1 ? argv[1] : "none";
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString folder = config.path() + "/Corvatek";
    QLockFile held(folder + "/linvara.conf.lock");
    if (!arrange(trouble, folder, held)) {
        std::fprintf(stderr, "could not arrange '%s'\n", qPrintable(trouble));
        return 2;
    }
    QDir::setCurrent(QUORVEL_GAME_DIR);
    Player player;
    GapWatch gaps;
    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<TForm1>(TForm1::Options{0, 24, nullptr, nullptr});
    window->show();
    run_for(1500);  // the first stones appear and settle
    const qint64 start = gaps.take();
    const qint64 start_total = clock.elapsed();

    Spielklasse& engine = *window->engine;
    int from = 0;
    while (engine.field_images[static_cast<std::size_t>(from)].color == 0) ++from;
    int to = 0;
    while (engine.field_images[static_cast<std::size_t>(to)].color != 0) ++to;
    window->board_click(engine.field_images[static_cast<std::size_t>(from)]);
    window->board_click(engine.field_images[static_cast<std::size_t>(to)]);
    run_for(1500);
    const qint64 turn = gaps.take();

    window->menu->Difficult1->trigger();
    run_for(1500);
    const qint64 mode_change = gaps.take();

    clock.restart();
    window->close();
    window.reset();
    const qint64 quit = clock.elapsed();
    if (trouble == "full-disk") ::umount(QFile::encodeName(folder).constData());

    std::printf("trouble %s\n", qPrintable(trouble));
    std::printf("  start: longest gap %lld ms (window up and settled after %lld ms)\n", start, start_total);
    std::printf("  settled turn: longest gap %lld ms\n", turn);
    std::printf("  mode change: longest gap %lld ms\n", mode_change);
    std::printf("  quit: %lld ms\n", quit);
    std::printf("  store warnings: %d%s%s\n", player.warnings, player.warnings ? ": " : "", qPrintable(player.last_warning));
    return 0;
}
