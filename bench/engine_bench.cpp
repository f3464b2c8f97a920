#include "bench_game.h"

#include <algorithm>
#include <ctime>

namespace {

// Walls that leave one winding corridor through every other row.
const std::vector<std::string> kSerpentine{
    "S........", "KKKKKKKK.", ".........", ".KKKKKKKK", ".........",
    "KKKKKKKK.", ".........", ".KKKKKKKK", "........T"};

void find_path_from(benchmark::State& state, const std::vector<std::string>& rows, int from, int to) {
    Game game;
    set_board(game.engine, rows);
    game.engine.selected = &game.engine.field_images[static_cast<std::size_t>(from)];
    for (auto _ : state) {
        game.engine.find_path(to);
        benchmark::DoNotOptimize(game.engine.path->count());
    }
}

void BM_FindPathEmptyBoardCornerToCorner(benchmark::State& state) { find_path_from(state, {"R"}, 0, 80); }

void BM_FindPathSerpentine(benchmark::State& state) {
    std::vector<std::string> rows = kSerpentine;
    rows[0][0] = 'R';
    rows[8][8] = '.';
    find_path_from(state, rows, 0, 80);
}

void BM_FindPathEnclosedTarget(benchmark::State& state) {
    find_path_from(state, {"R", "", "", "...KKK", "...K.K", "...KKK"}, 0, 40);
}

void BM_CheckLinesCrowdedBoard(benchmark::State& state) {
    Game game;
    std::vector<std::string> rows(9, std::string(9, '.'));
    const std::string stones = "RGBYLKP*";
    for (int f = 0; f < kFields; ++f)
        rows[static_cast<std::size_t>(f / 9)][static_cast<std::size_t>(f % 9)] =
            stones[static_cast<std::size_t>((f / 9 * 3 + f % 9) % 8)];
    set_board(game.engine, rows);
    for (auto _ : state) {
        for (int f = 0; f < kFields; ++f) benchmark::DoNotOptimize(game.engine.check_lines(f));
    }
    state.SetItemsProcessed(state.iterations() * kFields);
}

double thread_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Each engine call one click or one timer tick makes, timed on its own; the slowest is reported.
// Thread CPU time, so that other processes on the machine do not count against the engine.
template <typename Call>
void timed(double& slowest_ms, Call&& call) {
    const double start = thread_cpu_ms();
    call();
    slowest_ms = std::max(slowest_ms, thread_cpu_ms() - start);
}

void BM_WholeGameRandomPlayer(benchmark::State& state) {
    double slowest_ms = 0;
    std::int64_t moves = 0;
    for (auto _ : state) {
        Game game;
        StandardRandom player;
        player.seed(static_cast<std::uint32_t>(state.iterations()));
        for (int i = 0; i < 3; ++i) game.engine.drop_stone();
        for (int attempt = 0; attempt < 20000 && game.host.game_ends == 0; ++attempt) {
            for (int tick = 0; tick < 6; ++tick) timed(slowest_ms, [&] { game.engine.highlight_tick(); });
            std::vector<int> stones;
            for (int f = 0; f < kFields; ++f)
                if (game.engine.field_images[static_cast<std::size_t>(f)].color != 0) stones.push_back(f);
            TMyImage& from = game.engine.field_images[static_cast<std::size_t>(stones[static_cast<std::size_t>(player.next()) % stones.size()])];
            timed(slowest_ms, [&] { game.engine.click(from); });
            std::vector<int> targets;
            for (int f = 0; f < kFields; ++f)
                if (game.engine.field_images[static_cast<std::size_t>(f)].reachable) targets.push_back(f);
            if (targets.empty()) continue;
            TMyImage& to = game.engine.field_images[static_cast<std::size_t>(targets[static_cast<std::size_t>(player.next()) % targets.size()])];
            timed(slowest_ms, [&] { game.engine.click(to); });
            while (game.engine.busy && !game.engine.path->empty())
                timed(slowest_ms, [&] { game.engine.move_step(); });
            ++moves;
        }
    }
    state.counters["slowest_call_ms"] = slowest_ms;
    state.counters["moves_per_game"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_FindPathEmptyBoardCornerToCorner);
BENCHMARK(BM_FindPathSerpentine);
BENCHMARK(BM_FindPathEnclosedTarget);
BENCHMARK(BM_CheckLinesCrowdedBoard);
BENCHMARK(BM_WholeGameRandomPlayer)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
