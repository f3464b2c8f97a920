#include "app/main_window_menu.h"

#include "app/field_label.h"
#include "engine/spielklasse.h"
#include "highscores/highscore_dialog.h"
#include "localisation/help_window.h"
#include "localisation/language_blocks.h"
#include "localisation/languages.h"
#include "localisation/tag.h"
#include "presentation/confirm_dialog.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <utility>

namespace {

QMenu* add_menu(QWidget* parent_menu, const char* name, const char* caption, int tag) {
    auto* menu = new QMenu(caption, parent_menu);
    menu->setObjectName(name);
    set_tag(menu, tag);
    set_tag(menu->menuAction(), tag);
    return menu;
}

QAction* add_item(QMenu* menu, const char* name, const char* caption, int tag, bool checkable = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    set_tag(action, tag);
    action->setCheckable(checkable);
    return action;
}

}  // namespace

void check_speed_item(TForm1::MenuItems& menu, int speed) {
    menu.Normal1->setChecked(speed == 1);
    menu.Fast1->setChecked(speed == 2);
    menu.Lightning1->setChecked(speed == 3);
}

void TForm1::build_menu() {
    menu = std::make_unique<MenuItems>();
    MenuItems& m = *menu;
    m.Game = add_menu(this, "Game", "&Game", 1);
    auto* open_game_menu = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    connect(open_game_menu, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(menu->Game->menuAction()); });
    m.New = add_item(m.Game, "New", "&New Game", 75);
    m.Highs = add_item(m.Game, "Highs", "See &Highscores", 2);
    m.ResetHighscores1 = add_item(m.Game, "ResetHighscores1", "&Reset Highscores", 3);
    m.Quit = add_item(m.Game, "Quit", "&Quit", 4);
    m.New->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m.Quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    m.GameSettings1 = add_menu(this, "GameSettings1", "&Settings", 5);
    m.LoadAdditionalGraphics1 = add_item(m.GameSettings1, "LoadAdditionalGraphics1", "&Load Additional Graphics", 17);
    // Hidden, as it always was; QUORVEL_ADDON_CHOOSER=1 shows it.
    m.LoadAdditionalGraphics1->setVisible(qEnvironmentVariableIntValue("QUORVEL_ADDON_CHOOSER") == 1);
    m.AnimationSpeed1 = add_menu(m.GameSettings1, "AnimationSpeed1", "&Animation Speed", 9);
    m.GameSettings1->addMenu(m.AnimationSpeed1);
    m.AnimationSpeed1->menuAction()->setVisible(false);
    m.Normal1 = add_item(m.AnimationSpeed1, "Normal1", "&Normal", 10, true);
    m.Fast1 = add_item(m.AnimationSpeed1, "Fast1", "&Fast", 11, true);
    m.Lightning1 = add_item(m.AnimationSpeed1, "Lightning1", "L&ightning", 12, true);
    m.beginner_mode1 = add_menu(m.GameSettings1, "beginner_mode1", "&Game Difficulty", 6);
    m.GameSettings1->addMenu(m.beginner_mode1);
    m.beginner_mode1->menuAction()->setToolTip("The game is harder when this field is checked");
    m.Regular1 = add_item(m.beginner_mode1, "Regular1", "Regular", 7, true);
    m.Difficult1 = add_item(m.beginner_mode1, "Difficult1", "Difficult", 8, true);
    m.CursorSetting = add_item(m.GameSettings1, "CursorSetting", "Use Standard Mouse Cursor", 13, true);
    m.CursorSetting->setVisible(false);
    m.AutosaveGame = add_item(m.GameSettings1, "AutosaveGame", "Autosave Game", 16, true);
    m.Turn_Off_Sound1 = add_item(m.GameSettings1, "Turn_Off_Sound1", "Turn &Sound Off", 19, true);
    m.Language1 = add_menu(m.GameSettings1, "Language1", "La&nguage", 190);
    m.GameSettings1->addMenu(m.Language1);
    m.LanguageChoices = new QActionGroup(m.Language1);
    m.SystemLanguage1 = add_item(m.Language1, "SystemLanguage1", "System language", 191, true);
    m.LanguageChoices->addAction(m.SystemLanguage1);

    m.GraphicStyle1 = add_menu(this, "GraphicStyle1", "Graphic Style", 572);
    m.Standard1 = add_item(m.GraphicStyle1, "Standard1", "Standard", 573, true);
    m.GraphicStyles = new QActionGroup(m.GraphicStyle1);
    m.GraphicStyles->addAction(m.Standard1);
    m.GetMoreGraphics1 = add_item(m.GraphicStyle1, "GetMoreGraphics1", "Get More Graphics", 574);

    m.Help1 = add_menu(this, "Help1", "&Help", 20);
    m.Rules = add_item(m.Help1, "Rules", "How to &play", 21);
    m.Rules->setShortcut(QKeySequence(Qt::Key_F1));
    m.About = add_item(m.Help1, "About", "&About Quorvel", 23);

    for (QMenu* top : {m.Game, m.GameSettings1, m.GraphicStyle1, m.Help1}) menuBar()->addMenu(top);

    connect(m.New, &QAction::triggered, this, &TForm1::reset);
    connect(m.Quit, &QAction::triggered, this, &TForm1::exit);
    connect(m.Normal1, &QAction::triggered, this, &TForm1::Normal1Click);
    connect(m.Fast1, &QAction::triggered, this, &TForm1::Fast1Click);
    connect(m.Lightning1, &QAction::triggered, this, &TForm1::Lightning1Click);
    connect(m.Regular1, &QAction::triggered, this, &TForm1::switch_to_regular_mode);
    connect(m.Difficult1, &QAction::triggered, this, &TForm1::Difficult1Click);
    connect(m.CursorSetting, &QAction::triggered, this, &TForm1::CursorSettingClick);
    connect(m.AutosaveGame, &QAction::triggered, this, &TForm1::AutosaveGameClick);
    connect(m.LoadAdditionalGraphics1, &QAction::triggered, this, &TForm1::LoadAdditionalGraphics1Click);
    connect(m.Standard1, &QAction::triggered, this, &TForm1::Standard1Click);
    connect(m.GetMoreGraphics1, &QAction::triggered, this, &TForm1::GetMoreGraphics1Click);
    connect(m.Highs, &QAction::triggered, this, &TForm1::HighsClick);
    connect(m.ResetHighscores1, &QAction::triggered, this, &TForm1::ResetHighscores1Click);
    connect(m.About, &QAction::triggered, this, &TForm1::AboutClick);
    connect(m.Turn_Off_Sound1, &QAction::triggered, this, &TForm1::Turn_Off_Sound1Click);
    connect(m.Rules, &QAction::triggered, this, &TForm1::RulesClick);
    connect(m.LanguageChoices, &QActionGroup::triggered, this,
            [this](const QAction* item) { choose_language(item->data().toString()); });
}

void TForm1::apply_menu_captions() {
    for (QMenu* submenu : findChildren<QMenu*>()) {
        languages->set_caption(submenu);
        for (QAction* item : submenu->actions())
            if (item->menu() == nullptr && tag_of(item) != 0) languages->set_caption(item);  // add-ons keep their names
    }
}

void TForm1::reset() { engine->check_game_over(); }

void TForm1::switch_to_regular_mode() { change_difficulty(true); }
void TForm1::Difficult1Click() { change_difficulty(false); }

void TForm1::change_difficulty(bool to_regular) {
    auto keep_marks = [this] {
        menu->Regular1->setChecked(engine->regular_mode);
        menu->Difficult1->setChecked(!engine->regular_mode);
    };
    if (engine->regular_mode == to_regular || Confirm1->exec() == TConfirm1::kNo) {
        keep_marks();  // a click on a checkable entry toggles its mark by itself
        return;
    }
    // The game-end flow below already ranks and posts against the new mode's internet table.
    Highscores->clear_page();
    engine->regular_mode = to_regular;
    Settings.set_value(kDifficultyLine, to_regular ? 1 : 0);
    keep_marks();
    tables_to_swap_ = true;
    engine->check_game_over();
    if (std::exchange(tables_to_swap_, false)) swap_highscores();
    save_settings();
}

void TForm1::Normal1Click() {
    check_speed_item(*menu, 1);
    set_speed(1);
}

void TForm1::Fast1Click() {
    check_speed_item(*menu, 2);
    set_speed(2);
}

void TForm1::Lightning1Click() {
    check_speed_item(*menu, 3);
    set_speed(3);
}

void TForm1::Turn_Off_Sound1Click() { toggle_sound(); }

void TForm1::CursorSettingClick() {
    const bool standard = menu->CursorSetting->isChecked();
    if (standard)
        for (FieldLabel* field : field_labels) field->unsetCursor();
    shown_cursor_.fill(0);
    Settings.set_value(kCursorSettingLine, standard ? 1 : 0);
}

void TForm1::RulesClick() {
    show_help_topic(this, QString::fromLatin1(languages->block().rules_topic), *languages, *address_opener_);
}
