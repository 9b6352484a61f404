// The game's own work per move, without a console: the rules, the spawners
// and the redraw written into a NullTerminal; and, beside it, the same move
// drawn through the ncursesw backend onto a pseudo terminal.
//
// Every iteration starts again from the same game in progress (a copy of a
// prepared GameState), with the clock one second further on, so each move
// meets the same field but draws other cells. BM_restore times that copy
// alone; subtract it from the others for the move itself.
#include <benchmark/benchmark.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/null_terminal.h"
#include "console/curses_terminal.h"
#include "core/game_screen.h"
#include "core/game_state.h"
#include "core/spawners.h"
#include "core/turn.h"

namespace skarvel::bench {

namespace {

// A game in progress on a `cols` x `rows` field at level `level`: the player
// in the middle, the cell to its right blank, and `filled` other interior
// cells holding bombs. The placements to win are what a game that has placed
// exactly those bombs has left, and the player's cell is blank, as the game loop
// leaves it while it waits for a key.
GameState game_in_progress(int cols, int rows, int level, int filled) {
    GameState g;
    g.cols = cols;
    g.rows = rows;
    g.level = level;
    build_field(g);
    g.row = rows / 2;
    g.col = cols / 2;
    std::vector<std::pair<int, int>> cells;
    for (int i = 1; i < rows - 1; ++i) {
        for (int j = 1; j < cols - 1; ++j) {
            // The player's cell and the one to its right, on its row and on
            // the row below (where a second start may put the player).
            if ((i == g.row || i == g.row + 1) && (j == g.col || j == g.col + 1)) continue;
            cells.emplace_back(i, j);
        }
    }
    if (filled < 0 || filled > static_cast<int>(cells.size())) {
        std::fprintf(stderr, "cannot fill %d cells of a %dx%d field\n", filled, cols, rows);
        std::exit(1);
    }
    std::mt19937 shuffle(12345);  // the same field on every run
    std::shuffle(cells.begin(), cells.end(), shuffle);
    for (int n = 0; n < filled; ++n) g.field[cells[n].first][cells[n].second] = Cell::bomb;
    const int interior = (rows - 2) * (cols - 2);
    g.bombs_placed = filled;
    g.placements_to_win = interior - 2 - filled;
    g.score = filled;
    g.lives_held = 1;
    return g;
}

// Every interior cell filled but the player's, the one it steps onto and the
// two below them: three placements are left.
GameState nearly_full(int cols, int rows, int level) {
    return game_in_progress(cols, rows, level, (rows - 2) * (cols - 2) - 4);
}

// One step to the right and the move the game makes of it.
void one_move(GameState& g, Terminal& term) {
    if (++g.col == g.cols - 1) g.col = 1;
    if (play_turn(g, term) != Outcome::plain_move) {
        std::fprintf(stderr, "the benchmark move must land on an empty cell and go on\n");
        std::exit(1);
    }
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

// Times one move from `start`, again and again, a clock second apart.
void time_moves(benchmark::State& state, const GameState& start) {
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

// A move on the default field (40x20, level 1), 50 moves into a game.
void BM_move_default(benchmark::State& state) { time_moves(state, game_in_progress(40, 20, 1, 50)); }
BENCHMARK(BM_move_default);

// A move on the largest field (120x30, level 10) with two placements to win:
// after the step three blanks are left, so the scatter hunts for the last
// free cells twice over before the placements stop it. The dearest move of a game.
void BM_move_largest_full(benchmark::State& state) { time_moves(state, nearly_full(120, 30, 10)); }
BENCHMARK(BM_move_largest_full);

// Spending a power on the largest field (120x30, level 10) with half its
// cells bombed: the wipe and the scatter of all but nine bombs again.
void BM_powers_spend_largest(benchmark::State& state) {
    const int interior = 118 * 28;
    GameState start = game_in_progress(120, 30, 10, interior / 2);
    start.powers_held = 1;
    GameState g = start;
    NullTerminal term;
    for (auto _ : state) {
        g = start;
        ++term.now;
        spend_power(g, term);
        benchmark::DoNotOptimize(g);
    }
    state.counters["bombs_after"] = benchmark::Counter(static_cast<double>(g.bombs_placed));
}
BENCHMARK(BM_powers_spend_largest)->Unit(benchmark::kMicrosecond);

// The redraw alone, default and largest field.
void BM_print(benchmark::State& state) {
    const auto cols = static_cast<int>(state.range(0));
    const auto rows = static_cast<int>(state.range(1));
    GameState g = game_in_progress(cols, rows, 1, (cols - 2) * (rows - 2) / 4);
    NullTerminal term;
    for (auto _ : state) {
        draw_game_screen(g, term, Cell::player);
        benchmark::ClobberMemory();
    }
    report_output(state, term);
}
BENCHMARK(BM_print)->Args({40, 20})->Args({120, 30});

// The ncursesw backend on a 150x40 pseudo terminal in a UTF-8 locale, as
// xterm-256color; a thread reads and counts what reaches the terminal.
class CursesOnPty {
public:
    CursesOnPty() {
        std::setlocale(LC_ALL, "C.UTF-8");
        winsize size{};
        size.ws_row = CONSOLE_ROWS;
        size.ws_col = CONSOLE_COLS;
        if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) fail("openpty");
        reader_ = std::thread([this] {
            char buffer[65536];
            for (;;) {
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n <= 0) return;
                bytes += static_cast<std::size_t>(n);
            }
        });
        file_ = ::fdopen(slave_, "r+");
        std::string why;
        term_ = open_curses_terminal("xterm-256color", file_, file_, why);
        if (!term_) fail(why.c_str());
    }
    ~CursesOnPty() {
        term_.reset();
        std::fclose(file_);  // the reader sees the end of the terminal
        reader_.join();
        ::close(master_);
    }
    Terminal& term() { return *term_; }
    std::atomic<std::size_t> bytes{0};  // bytes the terminal has received

private:
    [[noreturn]] static void fail(const char* why) {
        std::fprintf(stderr, "cannot start curses on a pseudo terminal: %s\n", why);
        std::exit(1);
    }
    int master_ = -1;
    int slave_ = -1;
    std::FILE* file_ = nullptr;
    std::thread reader_;
    std::unique_ptr<Terminal> term_;
};

CursesOnPty& curses_on_pty() {
    static CursesOnPty pty;
    return pty;
}

// One move drawn through curses and shown, as the game shows it before it
// reads the next key. The CPU time is the benchmark thread's: the game and
// curses, not the reader. The backend reads the real clock, so moves within
// one second draw alike; the start alternates between two rows so that every
// frame differs from the one before it, as a move's does.
void move_through_curses(benchmark::State& state, const GameState& start) {
    CursesOnPty& pty = curses_on_pty();
    Terminal& term = pty.term();
    GameState other = start;
    ++other.row;
    const GameState* starts[2] = {&start, &other};
    GameState g = start;
    one_move(g, term);
    term.sleep_ms(0);
    const std::size_t before = pty.bytes;
    std::size_t n = 0;
    for (auto _ : state) {
        g = *starts[++n % 2];
        one_move(g, term);
        term.sleep_ms(0);
    }
    ::usleep(20000);  // let the reader catch up
    state.counters["terminal_bytes"] =
        benchmark::Counter(static_cast<double>(pty.bytes - before) / static_cast<double>(state.iterations()));
}

void BM_move_curses_default(benchmark::State& state) { move_through_curses(state, game_in_progress(40, 20, 1, 50)); }
BENCHMARK(BM_move_curses_default)->Unit(benchmark::kMicrosecond);

void BM_move_curses_largest(benchmark::State& state) {
    move_through_curses(state, game_in_progress(120, 30, 10, 118 * 28 / 2));
}
BENCHMARK(BM_move_curses_largest)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace skarvel::bench

BENCHMARK_MAIN();
