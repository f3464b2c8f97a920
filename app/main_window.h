#pragma once

#include "app/settings_store.h"
#include "engine/host.h"
#include "localisation/address_opener.h"
#include "presentation/picture_source.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class GraphicStyle;
class Languages;
class QAction;
class QLabel;
class QTimer;
class Registry;
class SoundPlayer;
class Spielklasse;
class TConfirm1;
class THighscores;
class Tabout_window;
class Tgame_over;
class Tload_libraries;
class Tname_enter;
class BoardFocus;
class FieldLabel;

// The main window: menu, board, preview, score, the two animation timers, and the host of the
// engine. Its construction runs the whole start-up sequence.
class TForm1 : public QMainWindow, public EngineHost {
public:
    struct Options {
        int splash_wait_ms = 2000;
        int color_depth = 0;  // bits per pixel; 0 asks the screen
        // The game's randomness and calendar; null takes the system's. Tests replay games with their own.
        RandomSource* random = nullptr;
        Clock* clock = nullptr;
        // Where web addresses open; null takes the desktop's browser.
        AddressOpener::Browser browser = nullptr;
    };

    explicit TForm1(Options options);
    TForm1() : TForm1(Options{}) {}
    ~TForm1() override;

    // Start-up and shutdown.
    void shutdown();
    void update_caption();
    QString version_text() const;

    // Play control.
    void move();
    void highlight_selected();
    // The two timers run only while the engine animates: any new picture or click wakes them, and
    // the first tick that finds nothing to do puts them to sleep.
    void wake_animation();
    void set_speed(int speed);
    void board_click(TMyImage& image);
    void update_cursors() override;

    // Graphic style.
    void load_style();
    void create_fields();
    void arrange_window();
    void redraw_all();
    int color_depth() const;

    // Sound.
    void play_sound(int sound_nr) override;
    void toggle_sound();
    void apply_sound_setting();

    // Autosave.
    void autosave_game();
    bool restore_autosave();
    void AutosaveGameClick();
    // Stores the settings; a store that cannot be written is reported once per run.
    bool save_settings();

    // Highscores.
    bool save_highscores();
    void enter_highscore();

    // Menu commands.
    void reset();
    void exit();
    void switch_to_regular_mode();
    void Difficult1Click();
    void Normal1Click();
    void Fast1Click();
    void Lightning1Click();
    void Turn_Off_Sound1Click();
    void CursorSettingClick();
    void RulesClick();
    void HighsClick();
    void scan_addons();
    void AddonMenuClick(const QAction* item);
    void Standard1Click();
    void GetMoreGraphics1Click();
    void LoadAdditionalGraphics1Click();
    void ResetHighscores1Click();
    void AboutClick();

    // The rest of the engine's host.
    void show_picture(TMyImage& image) override;
    void show_digit(DigitImage& image) override;
    void run_game_end() override;
    void removal_pause() override;
    std::string setting(int line) const override;

    float version = 0;
    std::unique_ptr<Spielklasse> engine;
    std::unique_ptr<Languages> languages;
    std::unique_ptr<GraphicStyle> style_module;
    SettingsList Settings;

    QTimer* movetimer = nullptr;
    QTimer* highlighttimer = nullptr;
    std::array<QLabel*, 4> frame_images{};  // Image5, Image6, Image8, Image9
    std::array<FieldLabel*, 81> field_labels{};
    std::array<FieldLabel*, 3> preview_labels{};
    QHash<const DigitImage*, QLabel*> digit_labels;
    Tabout_window* about_window = nullptr;
    Tgame_over* game_over_window = nullptr;
    THighscores* Highscores = nullptr;
    Tname_enter* name_enter = nullptr;
    TConfirm1* Confirm1 = nullptr;
    Tload_libraries* load_libraries = nullptr;

    struct MenuItems;
    std::unique_ptr<MenuItems> menu;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void init();
    void create_dialogs();
    bool store_saved(bool saved);
    PictureSource style_pictures();
    void FormShow();
    void build_menu();
    void apply_menu_captions();
    void fill_language_menu();
    void choose_language(const QString& code);
    void apply_language_choice();
    void rename_for_screen_readers();
    void name_score(QLabel* label);
    void start_game_or_restore();
    void place_on_screen();
    void save_settled_turn();
    void forget_ended_game();
    void finish_interrupted_game_end();
    void insert_score(int place, int score, const QString& name);
    void sleep_when_still();
    void change_difficulty(bool to_regular);
    void swap_highscores();
    bool try_configured_style();
    void choose_standard_style();
    void take_high_colour_style(const QString& message);
    bool load_frame_pictures();
    void mark_style_in_use();
    FieldLabel* label_for(TMyImage& image);
    void name_field(TMyImage& image);
    void name_selection();
    void report_missing_picture(const QString& name);
    bool keyboard_play(int key);
    void apply_board_layout();

    Options options_;
    std::unique_ptr<AddressOpener> address_opener_;
    std::unique_ptr<Registry> registry_;

public:
    std::unique_ptr<SoundPlayer> sound;

private:
    StandardRandom random_;
    SystemClock clock_;
    QWidget* surface_ = nullptr;
    BoardFocus* board_focus_ = nullptr;
    TMyImage* named_selection_ = nullptr;  // the field whose screen-reader name says "selected"
    std::array<int, 81> shown_cursor_{};
    bool shut_down_ = false;
    bool addons_scanned_ = false;
    bool store_failure_reported_ = false;
    // The game-end flow runs: from the game-over picture until the next game is set up.
    bool game_ending_ = false;
    bool score_entered_ = false;   // the ended game's score has had its turn at the table
    bool tables_to_swap_ = false;  // a mode change's game end runs; the tables follow it afterwards
    bool store_holds_running_game_ = false;  // the saved-game lines of the store are this game's
    QString stored_board_;  // the board as the store last got it, to see when a turn has settled
    bool reporting_missing_picture_ = false;
};
