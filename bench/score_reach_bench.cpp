// How high scores go in whole games: a random player and a greedy one, in both modes, each over
// many seeded games. The counters give the distribution of final scores; the stored-game check
// (valid_score_text in app/autosave.cpp) refuses what lies beyond it. Passing 50 * k points owes
// the next turn without a line k extra stones: games handed 4000 or 4900 points show that a game
// ends soon after its next multiple of 50 once those stones no longer fit the board.
//
//     build/bench/score_reach_bench --benchmark_counters_tabular=true
//
// (--benchmark_format=json gives the counters unrounded.)
#include "bench_game.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr int kGames = 200;
constexpr int kMostTurns = 100000;
constexpr std::int64_t kSecondsBetweenGames = 1'000'000;
constexpr int kLineLength = 5;
constexpr int kCompletesLine = 100;

enum class Player { random, greedy };

using Board = std::array<int, kFields>;  // rest codes

struct Move {
    int from;
    int to;
};

Board board_of(const Spielklasse& engine) {
    Board board{};
    for (std::size_t f = 0; f < board.size(); ++f) board[f] = rest_code(engine.field_images[f].color);
    return board;
}

int at(const Board& board, int f) { return board[static_cast<std::size_t>(f)]; }

// Empty fields a stone at `from` can travel to, as the engine's path search finds them.
std::vector<int> reachable_from(const Board& board, int from) {
    std::array<bool, kFields> seen{};
    std::vector<int> queue{from};
    std::vector<int> reached;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        for (const int f : orthogonal_neighbours(queue[next])) {
            if (f < 0 || at(board, f) != 0 || seen[static_cast<std::size_t>(f)]) continue;
            seen[static_cast<std::size_t>(f)] = true;
            queue.push_back(f);
            reached.push_back(f);
        }
    }
    return reached;
}

std::vector<Move> legal_moves(const Board& board) {
    std::vector<Move> moves;
    for (int from = 0; from < kFields; ++from)
        if (at(board, from) != 0)
            for (const int to : reachable_from(board, from)) moves.push_back({from, to});
    return moves;
}

int step(int f, int dv, int dh) {
    const int row = f / kBoardSide + dv;
    const int column = f % kBoardSide + dh;
    if (row < 0 || row >= kBoardSide || column < 0 || column >= kBoardSide) return -1;
    return row * kBoardSide + column;
}

// Stones beyond `f` one way that a line of `colour` takes in, a joker standing for any colour,
// and how far the line could grow that way over empty fields.
struct Reach {
    int stones = 0;
    int room = 0;
};

Reach reach_along(const Board& board, int f, int dv, int dh, int colour) {
    Reach reach;
    bool gap = false;
    for (int next = step(f, dv, dh); next >= 0; next = step(next, dv, dh)) {
        const int code = at(board, next);
        if (code != 0 && code != kSpecialStone && colour_of(code) != colour) break;
        gap = gap || code == 0;
        if (!gap) ++reach.stones;
        ++reach.room;
    }
    return reach;
}

// The longest line a stone of `code` at `f` stands in that still has room for five; a joker
// stands for its best colour.
int longest_line(const Board& board, int f, int code) {
    constexpr std::array<std::array<int, 2>, 4> kDirections{{{1, 0}, {0, 1}, {1, 1}, {1, -1}}};
    int longest = 0;
    for (int colour = 1; colour <= 7; ++colour) {
        if (code != kSpecialStone && colour != colour_of(code)) continue;
        for (const auto& [dv, dh] : kDirections) {
            const Reach one = reach_along(board, f, dv, dh, colour);
            const Reach other = reach_along(board, f, -dv, -dh, colour);
            if (1 + one.room + other.room >= kLineLength) longest = std::max(longest, 1 + one.stones + other.stones);
        }
    }
    return longest;
}

// A move that completes a line comes first; short of that, the longer the line the stone joins
// and the shorter the one it leaves, the better.
int greedy_value(Board board, Move move) {
    const int code = at(board, move.from);
    const int left = longest_line(board, move.from, code);
    board[static_cast<std::size_t>(move.from)] = 0;
    const int joined = longest_line(board, move.to, code);
    return joined >= kLineLength ? kCompletesLine + joined : 2 * joined - left;
}

Move choose(Player player, const Board& board, const std::vector<Move>& moves, RandomSource& chance) {
    std::vector<Move> best = moves;
    if (player == Player::greedy) {
        std::vector<int> values;
        for (const Move& move : moves) values.push_back(greedy_value(board, move));
        const int top = *std::max_element(values.begin(), values.end());
        best.clear();
        for (std::size_t i = 0; i < moves.size(); ++i)
            if (values[i] == top) best.push_back(moves[i]);
    }
    return best[static_cast<std::size_t>(chance.next()) % best.size()];
}

void play(Spielklasse& engine, Move move) {
    engine.click(engine.field_images[static_cast<std::size_t>(move.from)]);
    engine.click(engine.field_images[static_cast<std::size_t>(move.to)]);
    while (engine.busy && !engine.path->empty()) engine.move_step();
    settle(engine);
}

struct Outcome {
    int score = 0;
    int turns = 0;
};

Outcome play_game(Player player, bool regular, int first_score, std::uint32_t seed) {
    Game game(regular, kSecondsBetweenGames * (seed + 1));
    StandardRandom chance;
    chance.seed(seed);
    game.engine.score_display->set_value(first_score);
    for (int i = 0; i < 3; ++i) game.engine.drop_stone();
    settle(game.engine);
    Outcome outcome;
    for (; game.host.game_ends == 0 && outcome.turns < kMostTurns; ++outcome.turns) {
        const Board board = board_of(game.engine);
        const std::vector<Move> moves = legal_moves(board);
        if (moves.empty()) break;
        play(game.engine, choose(player, board, moves, chance));
    }
    outcome.score = game.host.game_ends > 0 ? game.host.final_score : game.engine.score_display->get_value();
    return outcome;
}

// Nearest rank: the smallest score that `share` of the games did not exceed.
double percentile(const std::vector<int>& sorted, double share) {
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

// Each game starts on an empty board with the score in the benchmark's argument: handed a high
// score, how much further a game gets.
void BM_FinalScores(benchmark::State& state, Player player, bool regular) {
    const auto first_score = static_cast<int>(state.range(0));
    std::vector<int> scores;
    std::int64_t turns = 0;
    for (auto _ : state) {
        for (int seed = 0; seed < kGames; ++seed) {
            const Outcome outcome = play_game(player, regular, first_score, static_cast<std::uint32_t>(seed));
            scores.push_back(outcome.score);
            turns += outcome.turns;
        }
    }
    std::sort(scores.begin(), scores.end());
    const auto games = static_cast<double>(scores.size());
    state.counters["median"] = percentile(scores, 0.5);
    state.counters["p99"] = percentile(scores, 0.99);
    state.counters["max"] = scores.back();
    state.counters["mean"] = std::accumulate(scores.begin(), scores.end(), 0.0) / games;
    const auto games_from = [&scores](int score) {
        return static_cast<double>(scores.end() - std::lower_bound(scores.begin(), scores.end(), score));
    };
    state.counters["from_5000"] = games_from(5000);
    state.counters["over_9999"] = games_from(10000);
    state.counters["turns_per_game"] = static_cast<double>(turns) / games;
}

}  // namespace

BENCHMARK_CAPTURE(BM_FinalScores, random_regular, Player::random, true)
    ->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_FinalScores, random_difficult, Player::random, false)
    ->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_FinalScores, greedy_regular, Player::greedy, true)
    ->Arg(0)->Arg(2000)->Arg(4000)->Arg(4900)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_FinalScores, greedy_difficult, Player::greedy, false)
    ->Arg(0)->Arg(4900)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
