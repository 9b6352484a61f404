// The game's own work per move, without a console: the rules, the spawners
// and the redraw written into a NullTerminal.
//
// Every iteration starts again from the same game in progress (a copy of a
// prepared GameState), with the clock one second further on, so each move
// meets the same field but draws other cells. BM_restore times that copy
// alone; subtract it from the others for the move itself.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench/null_terminal.h"
#include "core/display.h"
#include "core/game_state.h"
#include "core/rules.h"

namespace skarvel::bench {

namespace {

// A game in progress on a `length` x `width` field at level `lev`: the player
// in the middle, the cell to its right blank, and `filled` other interior
// cells holding bombs. The budget is what a game that has placed exactly
// those bombs has left, and the player's cell is blank, as the game loop
// leaves it while it waits for a key.
GameState game_in_progress(int length, int width, int lev, int filled) {
    GameState g;
    g.max_r = length;
    g.max_l = width;
    g.lev = lev;
    rev(g, '1');
    build(g);
    g.x = width / 2;
    g.y = length / 2;
    std::vector<std::pair<int, int>> cells;
    for (int i = 1; i < width - 1; ++i) {
        for (int j = 1; j < length - 1; ++j) {
            if (i == g.x && (j == g.y || j == g.y + 1)) continue;
            cells.emplace_back(i, j);
        }
    }
    if (filled < 0 || filled > static_cast<int>(cells.size())) {
        std::fprintf(stderr, "cannot fill %d cells of a %dx%d field\n", filled, length, width);
        std::exit(1);
    }
    std::mt19937 shuffle(12345);  // the same field on every run
    std::shuffle(cells.begin(), cells.end(), shuffle);
    for (int n = 0; n < filled; ++n) g.map[cells[n].first][cells[n].second] = g.glyphs.bomb;
    const int interior = (width - 2) * (length - 2);
    g.bomb_num = filled;
    g.left = interior - 1 - filled;
    g.score = filled;
    g.live_left = 1;
    return g;
}

// All interior cells but the player's, the one it steps onto and `free` more.
GameState nearly_full(int length, int width, int lev, int free) {
    return game_in_progress(length, width, lev, (width - 2) * (length - 2) - 2 - free);
}

// One move to the right, as the game loop makes it: resolve the cell, count
// the move, run the three spawners with the player in the grid, redraw, and
// take the player out again.
void one_move(GameState& g, Terminal& term) {
    if (++g.y == g.max_r - 1) g.y = 1;
    if (judge(g, term, g.x, g.y) != GOES_ON) {
        std::fprintf(stderr, "the benchmark move must land on a blank cell and go on\n");
        std::exit(1);
    }
    ++g.score;
    g.map[g.x][g.y] = g.glyphs.player;
    powers(g, term, 1);
    lives(g, term);
    bombs(g, term);
    print(g, term);
    g.map[g.x][g.y] = SPC;
}

void report_output(benchmark::State& state, const NullTerminal& term) {
    const auto n = static_cast<double>(state.iterations());
    state.counters["bytes_written"] = benchmark::Counter(static_cast<double>(term.bytes) / n);
    state.counters["commands"] = benchmark::Counter(static_cast<double>(term.commands) / n);
}

// The copy that puts the game back before every move.
void BM_restore(benchmark::State& state) {
    const GameState start = game_in_progress(120, 30, 10, 1000);
    GameState g = start;
    for (auto _ : state) {
        g = start;
        benchmark::DoNotOptimize(g);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_restore);

// A move on the default field (40x20, level 1), 50 moves into a game.
void BM_move_default(benchmark::State& state) {
    const GameState start = game_in_progress(40, 20, 1, 50);
    GameState g = start;
    NullTerminal term;
    for (auto _ : state) {
        g = start;
        ++term.now;
        one_move(g, term);
        benchmark::DoNotOptimize(g);
    }
    report_output(state, term);
}
BENCHMARK(BM_move_default);

// A move on the largest field (120x30, level 10) with the budget at 3: after
// the step three blanks are left, so the scatter hunts for the last free
// cells twice over before the budget stops it. The dearest move of a game.
void BM_move_largest_full(benchmark::State& state) {
    const GameState start = nearly_full(120, 30, 10, 2);
    GameState g = start;
    NullTerminal term;
    for (auto _ : state) {
        g = start;
        ++term.now;
        one_move(g, term);
        benchmark::DoNotOptimize(g);
    }
    report_output(state, term);
}
BENCHMARK(BM_move_largest_full);

// Spending a power on the largest field (120x30, level 10) with half its
// cells bombed: the wipe and the scatter of all but ten bombs again.
void BM_powers_spend_largest(benchmark::State& state) {
    const int interior = 118 * 28;
    GameState start = game_in_progress(120, 30, 10, interior / 2);
    start.power_left = 1;
    GameState g = start;
    NullTerminal term;
    for (auto _ : state) {
        g = start;
        ++term.now;
        powers(g, term, 2);
        benchmark::DoNotOptimize(g);
    }
    state.counters["bombs_after"] = benchmark::Counter(static_cast<double>(g.bomb_num));
}
BENCHMARK(BM_powers_spend_largest)->Unit(benchmark::kMicrosecond);

// The redraw alone, default and largest field.
void BM_print(benchmark::State& state) {
    const auto length = static_cast<int>(state.range(0));
    const auto width = static_cast<int>(state.range(1));
    GameState g = game_in_progress(length, width, 1, (length - 2) * (width - 2) / 4);
    NullTerminal term;
    for (auto _ : state) {
        print(g, term);
        benchmark::ClobberMemory();
    }
    report_output(state, term);
}
BENCHMARK(BM_print)->Args({40, 20})->Args({120, 30});

}  // namespace

}  // namespace skarvel::bench

BENCHMARK_MAIN();
