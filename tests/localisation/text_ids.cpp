#include "text_ids.h"

const std::vector<int> kTextIds = {
    // main menu
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 19, 20, 21, 23, 75, 572, 573, 574,
    // main window caption; About window
    24, 201, 212, 214,
    // autosave notice
    25, 26, 27, 28, 29,
    // colour-depth warning
    30, 31, 32, 33, 34, 35, 36, 37,
    // confirmation
    40, 41, 42, 43, 44,
    // game over
    63,
    // highscore dialog, posting, name entry in the posting use
    81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97,
    // add-on chooser
    105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122,
    // name entry at game end; highscore reset
    301, 302, 303, 305, 560, 561,
};

const std::vector<std::vector<MenuEntry>> kMenuLevels = {
    {{1, "&Game"}, {5, "&Settings"}, {572, "Graphic Style"}, {20, "&Help"}},
    {{75, "&New Game"}, {2, "See &Highscores"}, {3, "&Reset Highscores"}, {4, "&Quit"}},
    {{17, "&Load Additional Graphics"}, {9, "&Animation Speed"}, {6, "&Game Difficulty"},
     {13, "Use Standard Mouse Cursor"}, {16, "Autosave Game"}, {19, "Turn &Sound Off"}},
    {{10, "&Normal"}, {11, "&Fast"}, {12, "L&ightning"}},
    {{7, "Regular"}, {8, "Difficult"}},
    {{573, "Standard"}, {574, "Get More Graphics"}},
    {{21, "How to &play"}, {23, "&About Quorvel"}},
};

// Rooms: labels reach from their left edge to 8 pixels before the window's edge (or before
// the control beside them); buttons lose 12 pixels to their frame, check boxes 22 to the
// box, group box titles 16; window captions keep about 70 pixels for icon and buttons.
// Default dialog font 12 pixels; the highscore dialog uses 11 and 19, the name entry's
// labels 13, the confirmation's buttons 16.
const std::vector<SizedCaption> kSizedCaptions = {
    {214, 117, 12, nullptr},
    {25, 270, 12, "The game goes on..."},
    {26, 327, 12, "Your last game has automatically been loaded. You can turn off this"},
    {27, 327, 12, "feature by clicking on \"Settings\" and \"Autosave Game\""},
    {28, 179, 12, "don't tell me again"},
    {29, 77, 12, "OK"},
    {30, 270, 12, "Warning! Please read closely!"},
    {31, 327, 12, "You are currently running Windows at 256 Colors or less."},
    {32, 327, 12, "Quorvel will run at this color resolution, but it might look much better"},
    {33, 327, 12, "with a higher color depth. It is therefore recommended that you"},
    {34, 327, 12, "switch to High or True Color and restart Quorvel."},
    {35, 139, 12, "Never warn me again"},
    {36, 77, 12, "OK"},
    {37, 69, 12, "Help"},
    {44, 280, 12, "Are you sure?"},
    {40, 334, 12, "In order to change the game mode, you have to restart the game."},
    {41, 334, 12, "Do you really want to do this?"},
    {42, 77, 16, "Yes"},
    {43, 85, 16, "No"},
    {63, 270, 12, nullptr},
    {81, 96, 19, "Highscores"},
    {82, 168, 19, "Internet Highscores:"},
    {83, 125, 11, "OK"},
    {84, 197, 11, "Display the Website Highscores"},
    {85, 197, 11, nullptr},
    {86, 240, 12, nullptr},
    {87, 240, 12, nullptr},
    {93, 300, 12, nullptr},
    {94, 353, 13, nullptr},
    {95, 353, 13, nullptr},
    {96, 256, 13, nullptr},
    {97, 353, 13, nullptr},
    {301, 300, 12, nullptr},
    {302, 353, 13, nullptr},
    {303, 353, 13, nullptr},
    {305, 77, 12, "OK"},
    {105, 400, 12, "Choose your favorite graphic style!"},
    {106, 451, 12, "Quorvel offers the possibility to change the look of the balls and score display simply"},
    {107, 451, 12, "by downloading a graphic add-on from the game's website and extracting it into"},
    {108, 451, 12, "the game directory. All add-ons are free. You can even download a tutorial that"},
    {109, 451, 12, "explains step by stephow to make your own graphics. Please press the button "},
    {110, 451, 12, "below to get to the official Quorvel Website."},
    {121, 241, 12, "Please choose one of the following add-ons:"},
    {122, 81, 12, "Preview:"},
    {111, 241, 12, "There are no graphic add-ons installed."},
    {112, 241, 12, "By going to the Quorvel website, you could load many"},
    {113, 241, 12, "nice add-ons, including the following:"},
    {114, 60, 12, nullptr},
    {115, 60, 12, nullptr},
    {116, 60, 12, nullptr},
    {117, 60, 12, nullptr},
    {118, 149, 12, "Load the selected add-on"},
    {119, 149, 12, "Take me to the website!"},
    {120, 149, 12, "Cancel"},
};
