#pragma once

#include "engine/field.h"
#include "engine/host.h"
#include "engine/stack.h"
#include "engine/stones.h"
#include "engine/lcd.h"

#include <array>
#include <memory>

// The game engine: board, preview, path search and travel, lines and scoring, stone supply,
// turn cycle. It never touches a window; everything visible goes through the host.
//
// A playable engine in a few lines:
//
//     struct Host : EngineHost { ... };          // pictures, sounds, settings "1" and "1"
//     Host host;
//     StandardRandom random;
//     SystemClock clock;
//     Spielklasse engine(host, 9, 9, random, clock);
//     engine.create_fields();                    // 81 empty fields
//     for (int i = 0; i < 3; ++i) engine.drop_stone();
//     engine.click(engine.field_images[f]);      // select a stone, then click an empty field
//     engine.move_step();                        // once per move-timer tick until it arrives
//     engine.highlight_tick();                   // once per highlight-timer tick
class Spielklasse {
public:
    Spielklasse(EngineHost& form, int rows, int columns, RandomSource& random, Clock& clock);
    Spielklasse(const Spielklasse&) = delete;
    Spielklasse& operator=(const Spielklasse&) = delete;

    // Board and preview.
    void create_fields();
    void set_field(int field, int color);
    void set_next(int color, int joker_type);
    void redraw();
    bool is_joker(int field) const;
    int count_stones() const;
    void seed_random();

    // Path search and travel.
    void find_path(int target);
    void path_step();
    void move_step();
    void mark_reachable(int field);
    void clear_reachable();

    // Lines and scoring.
    bool check_lines(int field);
    bool would_complete_line(int field);
    void add_score(int n);
    void remove_stone(int field);
    void blast_color(int colour);
    void animate_removal();

    // Stone supply. drop_stone returns true when it ended the game and started a new one.
    bool drop_stone();
    void place_stone(int field, int code);
    int choose_special_kind();
    void animate_appearing();

    // Turn cycle and game end.
    void arrive(int field);
    bool check_game_over();

    // Play control.
    void click(TMyImage& control);
    // Puts the picked-up stone back at rest; nothing while a stone travels.
    void deselect();
    int cursor_for(const TMyImage& field) const;
    void animate_selected();
    void highlight_tick();
    // True while a tick of either timer would change the board: a stone travels or vanishes, a
    // picked-up stone pulses, a dropped stone appears. The window's timers sleep otherwise.
    bool animating() const;
    void rearrange_board();

    std::unique_ptr<Stack<int>> path;
    std::array<TMyImage, kFields> field_images;
    std::array<TMyImage, 3> preview_images;
    int stone_count = 0;
    int rows;
    int columns;
    int next_slot = 0;
    int extra_stones = 0;
    int recent_index = 0;
    std::array<int, 21> recent_drops{};  // slots 1..20; 0 means no entry
    std::array<int, 3> next_colors{};
    Stack<int> removal_list;
    TMyImage* selected = nullptr;
    bool busy = false;
    bool sound_on = false;
    bool regular_mode = true;
    std::array<int, kFields> path_depth{};
    std::unique_ptr<lcd> score_display;
    EngineHost* form;

private:
    struct LineCounts;
    struct Step {
        int dv;
        int dh;
    };

    int setting_value(int line) const;
    TMyImage& field(int f) { return field_images[static_cast<std::size_t>(f)]; }
    const TMyImage& field(int f) const { return field_images[static_cast<std::size_t>(f)]; }
    static int neighbour(int f, Step step);
    bool being_removed(int f) const { return removal_list.contains(f); }
    int line_code(int f) const;
    int nearest_colour(int f, Step way) const;
    void count_way(int f, Step way, LineCounts& counts) const;
    void count_direction(int f, Step first, Step second, LineCounts& counts) const;
    int remove_way(int f, Step way, const LineCounts& counts, bool& dynamite);
    void select(TMyImage& control);
    int joker_field_avoiding_line(int drawn);
    void refill_slot();
    void start_new_game();
    void retire_removed_drops();

    RandomSource* random;
    Clock* clock;
    bool removal_running = false;
};
