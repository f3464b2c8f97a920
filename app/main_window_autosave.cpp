#include "app/autosave.h"
#include "app/main_window.h"
#include "app/main_window_menu.h"
#include "engine/spielklasse.h"
#include "presentation/autosave_notice.h"

#include <QAction>

#include <utility>

void TForm1::autosave_game() {
    if (!menu->AutosaveGame->isChecked()) return;
    ::autosave_game(*engine, Settings);
    store_holds_running_game_ = true;
}

// The stored game stays in the store until a later save replaces it: a crash before the first
// move finds it there again.
bool TForm1::restore_autosave() {
    if (!menu->AutosaveGame->isChecked() || !restore_game(*engine, Settings)) return false;
    store_holds_running_game_ = true;
    stored_board_ = board_text(*engine);
    update_cursors();
    if (Settings.value(kAutosaveNoticeLine) != 0) {
        Tautosave_notify1 notice(this, *languages);
        notice.exec();
        if (notice.dont_tell_again()) Settings.set_value(kAutosaveNoticeLine, 0);
    }
    return true;
}

// An ended game must not come back: restored, it would end again and enter its score twice.
void TForm1::forget_ended_game() {
    if (!std::exchange(store_holds_running_game_, false)) return;
    forget_saved_game(Settings);
    stored_board_.clear();
    save_settings();
}

void TForm1::AutosaveGameClick() { Settings.set_value(kAutosaveLine, menu->AutosaveGame->isChecked() ? 1 : 0); }

// A kill or a power cut loses at most the turn in progress: whenever the board has come to rest
// in a state the store has not seen, the game goes into the store.
void TForm1::save_settled_turn() {
    // busy while a stone travels or a line goes; an ended game is never stored
    if (!menu->AutosaveGame->isChecked() || engine->busy || game_ending_) return;
    for (const TMyImage& field : engine->field_images)
        if (field.color > kSpecialStone && &field != engine->selected) return;  // still appearing or vanishing
    const QString board = board_text(*engine);
    if (board == stored_board_) return;
    stored_board_ = board;
    autosave_game();
    save_settings();
}
