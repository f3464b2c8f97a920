#include "app/about_window.h"
#include "app/highscore_tables.h"
#include "app/main_window.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "highscores/name_entry_dialog.h"
#include "localisation/languages.h"
#include "platform/registry.h"
#include "presentation/addon_chooser.h"
#include "presentation/confirm_dialog.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

// The dialogs that live beside the main window, made once its set-up has run; making the
// highscore dialog loads the stored tables.
void TForm1::create_dialogs() {
    Highscores = new THighscores(this, *languages, load_highscores(*registry_),
                                 {[this] { return engine->regular_mode; }, [this] { return color_depth(); },
                                  version_text(), [this]() -> Tname_enter& { return *name_enter; }});
    name_enter = new Tname_enter(this, *languages);
    Confirm1 = new TConfirm1(this, *languages);
    load_libraries = new Tload_libraries(this, *languages, [this] { return color_depth(); }, *address_opener_);
}

bool TForm1::save_highscores() {
    write_highscores(*registry_, Highscores->lines());
    return store_saved(registry_->flush());
}

// The tables change only once the name is known, so a quit while the name is asked for stores
// them whole.
void TForm1::enter_highscore() {
    const int score = engine->score_display->get_value();
    const int place = highscore_place(Highscores->lines(), score);
    if (place < 0) return;
    name_enter->prepare_name_form();
    name_enter->exec();
    score_entered_ = true;
    insert_score(place, score, name_enter->Edit1->text());
    save_highscores();
    Highscores->highlight_entry(place);
    Highscores->exec();
}

// The program ends while the game-over picture or the name entry shows: the score goes in once,
// under the name the entry holds (typed so far, or kept from the last entry; without a name it
// stays out, as the entry never takes an empty one), and the tables follow a mode change.
void TForm1::finish_interrupted_game_end() {
    const QString name = name_enter->Edit1->text();
    if (!std::exchange(score_entered_, true) && !name.trimmed().isEmpty()) {
        const int score = engine->score_display->get_value();
        const int place = highscore_place(Highscores->lines(), score);
        if (place >= 0) insert_score(place, score, name);
    }
    if (std::exchange(tables_to_swap_, false)) swap_highscores();
}

void TForm1::insert_score(int place, int score, const QString& name) {
    Highscores->set_lines(insert_highscore(Highscores->lines(), place, new_highscore_line(place, score) + name));
}

// The exchanged tables go to the store with the new mode, in the same save.
void TForm1::swap_highscores() {
    QStringList lines = Highscores->lines();
    swap_highscore_tables(lines);
    Highscores->set_lines(lines);
    write_highscores(*registry_, lines);
}

void TForm1::HighsClick() { Highscores->exec(); }

// Yes ends the program as Quit does; the tables it stored on the way out are then removed.
void TForm1::ResetHighscores1Click() {
    QMessageBox question(QMessageBox::Warning, languages->get_string(561), languages->get_string(560),
                         QMessageBox::Yes | QMessageBox::No, this);
    // The buttons speak the game's language, with the words of the mode change's question.
    question.button(QMessageBox::Yes)->setText(languages->get_string(42));
    question.button(QMessageBox::No)->setText(languages->get_string(43));
    if (question.exec() != QMessageBox::Yes) return;
    close();
    registry_->delete_key("hi");
    store_saved(registry_->flush());
}

void TForm1::AboutClick() {
    about_window->setWindowTitle("About Linvara!");
    about_window->exec();
}
