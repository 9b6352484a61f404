#include "core/rules.h"

#include "console/services.h"
#include "core/display.h"

namespace skarvel {

void reseed(GameState& g, Terminal& term) {
    g.rng.seed(static_cast<std::minstd_rand::result_type>(term.seconds()));
}

Cell draw_cell(GameState& g) {
    const int row = static_cast<int>(g.rng() % static_cast<unsigned>(g.max_l - 2)) + 1;
    const int col = static_cast<int>(g.rng() % static_cast<unsigned>(g.max_r - 2)) + 1;
    return {row, col};
}

namespace {

bool has_blank(const GameState& g) {
    for (int i = 1; i < g.max_l - 1; ++i) {
        for (int j = 1; j < g.max_r - 1; ++j) {
            if (g.map[i][j] == SPC) return true;
        }
    }
    return false;
}

// Draws cells until one holds a blank. With no blank interior cell left (the
// budget has run below 1) there is nothing to find, and the drop is skipped.
bool draw_free_cell(GameState& g, Cell& cell) {
    if (!has_blank(g)) return false;
    do {
        cell = draw_cell(g);
    } while (g.map[cell.row][cell.col] != SPC);
    return true;
}

// A drop happens when the first draw is a multiple of `odds`.
void drop(GameState& g, Terminal& term, unsigned odds, char glyph, std::int32_t& count) {
    reseed(g, term);
    if (g.rng() % odds != 0) return;
    Cell cell{};
    if (!draw_free_cell(g, cell)) return;
    g.map[cell.row][cell.col] = glyph;
    ++count;
    --g.left;
}

}  // namespace

int judge(GameState& g, Terminal& term, int j_x, int j_y) {
    const char cell = g.map[j_x][j_y];
    if (cell == g.glyphs.bomb) {
        if (--g.live_left <= 0) {
            g.live_left = 0;
            return GAME_OVER;
        }
        set(g, term, 'h');
        g.map[g.x][g.y] = g.glyphs.player_dead;
        print(g, term);
        term.sleep_ms(500);
        g.map[g.x][g.y] = g.glyphs.player;
        print(g, term);
        set(g, term, g.color);
        return GOES_ON;
    }
    if (cell == g.glyphs.pow) {
        ++g.power_left;
        --g.power_num;
        return GOES_ON;
    }
    if (cell == g.glyphs.live) {
        ++g.live_left;
        --g.live_num;
        return GOES_ON;
    }
    return g.left == 1 ? WON : GOES_ON;
}

void bombs(GameState& g, Terminal& term) {
    reseed(g, term);
    const int count = g.lev > 7 ? g.lev - 7 : 1;
    for (int n = 0; n < count; ++n) {
        // While left > 1 the budget leaves a blank interior cell to find.
        Cell cell{};
        do {
            cell = draw_cell(g);
        } while (g.map[cell.row][cell.col] != SPC && g.left > 1);
        if (g.left <= 1) return;
        g.map[cell.row][cell.col] = g.glyphs.bomb;
        ++g.bomb_num;
        --g.left;
    }
}

void powers(GameState& g, Terminal& term, int mode) {
    if (mode == 1) {
        drop(g, term, 10u * static_cast<unsigned>(g.lev), g.glyphs.pow, g.power_num);
        return;
    }
    if (mode != 2) return;
    set(g, term, 'p');
    --g.power_left;
    const std::int32_t limit = g.bomb_num > 10 ? g.bomb_num - 10 : 0;
    build(g);
    g.map[g.x][g.y] = g.glyphs.player;
    // Once the budget is down to its last unit no bomb can fall: stop there.
    while (g.bomb_num <= limit && g.left > 1) bombs(g, term);
    term.sleep_ms(20);
    set(g, term, g.color);
}

void lives(GameState& g, Terminal& term) {
    drop(g, term, 20u * static_cast<unsigned>(g.lev), g.glyphs.live, g.live_num);
}

}  // namespace skarvel

