#pragma once

#include <vector>

// Every Tag of a control or menu item and every fixed text id the program asks for.
extern const std::vector<int> kTextIds;

// One entry of the main menu with its caption in the window design.
struct MenuEntry {
    int id;
    const char* design_caption;
};

// The main menu, one list per menu level (the entries the player sees side by side, hidden
// ones included): mnemonics must differ within each.
extern const std::vector<std::vector<MenuEntry>> kMenuLevels;

// A caption whose control has a fixed width in the window design. `room` is the width in
// pixels left for the text, at a font of `pixel_size` pixels; `design_caption` is the
// control's design text where it has one (nullptr otherwise).
struct SizedCaption {
    int id;
    int room;
    int pixel_size;
    const char* design_caption;
};
extern const std::vector<SizedCaption> kSizedCaptions;
