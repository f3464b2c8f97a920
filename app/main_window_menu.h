#pragma once

#include "app/main_window.h"

class QActionGroup;
class QMenu;

// The main menu's entries, named as the handlers know them.
struct TForm1::MenuItems {
    QMenu* Game = nullptr;
    QAction* New = nullptr;
    QAction* Highs = nullptr;
    QAction* ResetHighscores1 = nullptr;
    QAction* Quit = nullptr;
    QMenu* GameSettings1 = nullptr;
    QAction* LoadAdditionalGraphics1 = nullptr;
    QMenu* AnimationSpeed1 = nullptr;
    QAction* Normal1 = nullptr;
    QAction* Fast1 = nullptr;
    QAction* Lightning1 = nullptr;
    QMenu* beginner_mode1 = nullptr;
    QAction* Regular1 = nullptr;
    QAction* Difficult1 = nullptr;
    QAction* CursorSetting = nullptr;
    QAction* AutosaveGame = nullptr;
    QAction* Turn_Off_Sound1 = nullptr;
    QMenu* Language1 = nullptr;
    QAction* SystemLanguage1 = nullptr;  // then one entry per language the library holds
    QActionGroup* LanguageChoices = nullptr;  // one carries the mark
    QMenu* GraphicStyle1 = nullptr;
    QAction* Standard1 = nullptr;
    QAction* GetMoreGraphics1 = nullptr;
    QActionGroup* GraphicStyles = nullptr;  // Standard1 and the add-ons: one carries the mark
    QMenu* Help1 = nullptr;
    QAction* Rules = nullptr;
    QAction* About = nullptr;
};

// Checks the entry of speed 1, 2 or 3 and clears the others; any other speed clears all three.
void check_speed_item(TForm1::MenuItems& menu, int speed);
