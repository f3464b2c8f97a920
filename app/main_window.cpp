#include "app/main_window.h"

#include "app/about_window.h"
#include "app/board_focus.h"
#include "app/highscore_tables.h"
#include "app/main_window_menu.h"
#include "app/settings_store.h"
#include "app/window_placement.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "localisation/languages.h"
#include "localisation/tag.h"
#include "platform/game_files.h"
#include "platform/registry.h"
#include "platform/sound_player.h"
#include "presentation/confirm_dialog.h"
#include "presentation/game_over_dialog.h"
#include "presentation/graphic_style.h"
#include "presentation/splash_screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {

constexpr int kCaptionTextId = 24;
constexpr int kDamagedStoreText = 230;
constexpr int kStoreNotSavedText = 231;
// The program is ending: another program's save may be waited for a little longer than in play.
constexpr int kQuitLockWaitMs = 2000;

}  // namespace

TForm1::TForm1(Options options)
    : options_(options) {
    set_tag(this, kCaptionTextId);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    surface_ = new QWidget(this);
    surface_->setAutoFillBackground(true);
    surface_->setPalette(QPalette(Qt::gray));
    setCentralWidget(surface_);
    board_focus_ = new BoardFocus(surface_);
    setFocusPolicy(Qt::StrongFocus);
    const std::array<const char*, 4> frame_names{"Image5", "Image6", "Image8", "Image9"};
    for (std::size_t i = 0; i < frame_images.size(); ++i) {
        frame_images[i] = new QLabel(surface_);
        frame_images[i]->setObjectName(frame_names[i]);
    }
    movetimer = new QTimer(this);
    movetimer->setInterval(100);
    connect(movetimer, &QTimer::timeout, this, &TForm1::move);
    highlighttimer = new QTimer(this);
    highlighttimer->setInterval(150);
    connect(highlighttimer, &QTimer::timeout, this, &TForm1::highlight_selected);
    sound = std::make_unique<SoundPlayer>();
    build_menu();
    init();
    create_dialogs();
}

TForm1::~TForm1() {
    shutdown();
    engine.reset();  // the engine's last pictures go to labels that still exist
}

void TForm1::init() {
    languages = std::make_unique<Languages>("languages.dll");
    address_opener_ = std::make_unique<AddressOpener>(*languages, options_.browser);
    // Only a file: opening a FIFO put there would wait for ever.
    if (const QString icon = game_file("LV!.ico"); QFileInfo(icon).isFile()) QApplication::setWindowIcon(QIcon(icon));
    version = 1.2f;
    registry_ = std::make_unique<Registry>();
    Settings.load_settings(*registry_);
    fill_language_menu();
    apply_language_choice();
    if (!registry_->damaged_copy().isEmpty())
        QMessageBox::information(this, QApplication::applicationName(),
                                 languages->get_string(kDamagedStoreText).arg(registry_->file_name(), registry_->damaged_copy()));
    count_start(Settings);
    const int speed = Settings.value(kSpeedLine);
    check_speed_item(*menu, speed);
    set_speed(speed);
    menu->CursorSetting->setChecked(Settings.value(kCursorSettingLine) != 0);
    menu->AutosaveGame->setChecked(Settings.value(kAutosaveLine) != 0);
    load_style();
    engine = std::make_unique<Spielklasse>(*this, 9, 9, options_.random ? *options_.random : random_,
                                          options_.clock ? *options_.clock : clock_);
    create_fields();
    place_on_screen();
    about_window = new Tabout_window(this, *languages, style_pictures(), version_text());
    apply_sound_setting();
    menu->Regular1->setChecked(engine->regular_mode);
    menu->Difficult1->setChecked(!engine->regular_mode);
    update_caption();
    game_over_window = new Tgame_over(this, *languages, style_pictures());
    game_over_window->move(pos());
    engine->clear_reachable();
    engine->seed_random();
    start_game_or_restore();
    wake_animation();
    if (const std::optional<QPixmap> title = style_module->picture("title"))
        show_splash_screen(*title, options_.splash_wait_ms);
}

void TForm1::start_game_or_restore() {
    if (restore_autosave()) return;
    for (int i = 0; i < 3; ++i) engine->drop_stone();
}

void TForm1::place_on_screen() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    const QRect primary = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    QWidget::move(visible_position({Settings.value(kLeftLine), Settings.value(kTopLine)}, frameGeometry().size(),
                                   screens, primary));
}

void TForm1::update_caption() {
    setWindowTitle(languages->get_string(kCaptionTextId) + " " + version_text());
}

QString TForm1::version_text() const { return QString::number(static_cast<double>(version), 'f', 2); }

void TForm1::showEvent(QShowEvent* event) {
    FormShow();
    QMainWindow::showEvent(event);
}

void TForm1::FormShow() {
    apply_menu_captions();
    scan_addons();
}

void TForm1::closeEvent(QCloseEvent* event) {
    shutdown();
    QMainWindow::closeEvent(event);
}

void TForm1::shutdown() {
    if (shut_down_) return;
    shut_down_ = true;
    movetimer->stop();
    highlighttimer->stop();
    Settings.set_value(kLeftLine, x());
    Settings.set_value(kTopLine, y());
    if (game_ending_)
        finish_interrupted_game_end();
    else
        autosave_game();
    Settings.write_settings(*registry_);
    write_highscores(*registry_, Highscores->lines());
    store_saved(registry_->flush(kQuitLockWaitMs));
    sound->stop();
    style_module.reset();
}

void TForm1::exit() { close(); }

bool TForm1::save_settings() { return store_saved(Settings.save_settings(*registry_)); }

// Settings, highscores and the saved game share one store; once a run is enough to hear it fails.
bool TForm1::store_saved(bool saved) {
    if (!saved && !std::exchange(store_failure_reported_, true))
        QMessageBox::warning(this, QApplication::applicationName(),
                             languages->get_string(kStoreNotSavedText)
                                 .arg(registry_->file_name(), store_error_text(*languages, registry_->error())));
    return saved;
}

// A picture the style lacks is reported as every missing picture is; the window keeps the old one.
PictureSource TForm1::style_pictures() {
    return [this](const QString& name) -> std::optional<QPixmap> {
        std::optional<QPixmap> picture = style_module ? style_module->picture(name) : std::nullopt;
        if (!picture) report_missing_picture(name);
        return picture;
    };
}
