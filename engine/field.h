#pragma once

#include <string>

class Spielklasse;

// One board field or preview slot. The code is at once the game state and the picture state.
struct TMyImage {
    int color = 0;           // stone code 0..88
    int joker_type = 0;      // special kind 0..4
    bool on_board = false;
    bool reachable = false;  // flood-fill mark from the selected stone
    int Tag = 0;             // field number 0..80 or preview slot 0..2
    std::string picture;     // bitmap name currently shown
    Spielklasse* game = nullptr;
};
