#include "engine/spielklasse.h"

namespace {

constexpr int kUnreached = 10000;
constexpr int kErrorSound = 3;

}  // namespace

// Depth-first search with depth labels: a field is entered again only from a strictly shorter
// branch, and among shortest paths the first one found in the order up, down, left, right wins.
void Spielklasse::find_path(int target) {
    path->clear();
    path->push(selected->Tag);
    path_depth.fill(kUnreached);
    path_depth[static_cast<std::size_t>(selected->Tag)] = 0;
    int best_length = kUnreached;
    Stack<int> best;
    while (!path->empty()) {
        path_step();
        if (!path->empty() && path->top() == target && path->count() < best_length) {
            best_length = path->count();
            path->copy_reversed_to(best);
        }
    }
    if (!best.empty())
        best.copy_to(*path);
    else
        form->play_sound(kErrorSound);
}

void Spielklasse::path_step() {
    const int t = path->top();
    const int n = path->count();
    for (const int next : orthogonal_neighbours(t)) {
        if (next < 0 || field(next).color != 0) continue;
        int& depth = path_depth[static_cast<std::size_t>(next)];
        if (n + 1 < depth) {
            path->push(next);
            depth = n + 1;
            return;
        }
    }
    path->pop();
}

void Spielklasse::move_step() {
    if (busy && !path->empty() && selected != nullptr) {
        const int code = selected->color;
        const int kind = selected->joker_type;
        set_field(selected->Tag, 0);
        const int next = path->pop();
        selected = &field(next);
        selected->joker_type = kind;
        set_field(next, code);
        if (path->empty()) arrive(next);
    }
    form->update_cursors();
}

void Spielklasse::mark_reachable(int f) {
    for (const int next : orthogonal_neighbours(f)) {
        if (next < 0) continue;
        TMyImage& image = field(next);
        if (image.reachable || image.color != 0) continue;
        image.reachable = true;
        mark_reachable(next);
    }
}

void Spielklasse::clear_reachable() {
    for (TMyImage& image : field_images) image.reachable = false;
}
