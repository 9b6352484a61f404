#include "core/spawners.h"

#include "core/colours.h"

namespace skarvel {

void reseed(GameState& g, Terminal& term) { g.rng.seed(static_cast<std::minstd_rand::result_type>(term.seconds())); }

Cell draw_interior_cell(GameState& g) {
    const int row = static_cast<int>(g.rng() % static_cast<unsigned>(g.rows - 2)) + 1;
    const int col = static_cast<int>(g.rng() % static_cast<unsigned>(g.cols - 2)) + 1;
    return {row, col};
}

namespace {

bool has_empty_cell(const GameState& g) {
    for (int row = 1; row < g.rows - 1; ++row) {
        for (int col = 1; col < g.cols - 1; ++col) {
            if (g.field[row][col] == EMPTY) return true;
        }
    }
    return false;
}

// Draws cells until one is empty. With no empty interior cell left (the
// budget has run below 1) there is nothing to find, and the drop is skipped.
bool draw_free_cell(GameState& g, Cell& cell) {
    if (!has_empty_cell(g)) return false;
    do {
        cell = draw_interior_cell(g);
    } while (g.field[cell.row][cell.col] != EMPTY);
    return true;
}

// An item drops when the first draw is a multiple of `odds`.
struct Drop {
    unsigned odds;
    char glyph;
};

void maybe_drop(GameState& g, Terminal& term, Drop drop, std::int32_t& on_field) {
    reseed(g, term);
    if (g.rng() % drop.odds != 0) return;
    Cell cell{};
    if (!draw_free_cell(g, cell)) return;
    g.field[cell.row][cell.col] = drop.glyph;
    ++on_field;
    --g.budget;
}

}  // namespace

void maybe_drop_power(GameState& g, Terminal& term) {
    maybe_drop(g, term, {.odds = 10u * static_cast<unsigned>(g.level), .glyph = g.glyphs.power}, g.powers_on_field);
}

void maybe_drop_life(GameState& g, Terminal& term) {
    maybe_drop(g, term, {.odds = 20u * static_cast<unsigned>(g.level), .glyph = g.glyphs.life}, g.lives_on_field);
}

void scatter_bombs(GameState& g, Terminal& term) {
    reseed(g, term);
    const int count = g.level > 7 ? g.level - 7 : 1;
    for (int n = 0; n < count; ++n) {
        // While the budget is above 1 it leaves an empty interior cell to find.
        Cell cell{};
        do {
            cell = draw_interior_cell(g);
        } while (g.field[cell.row][cell.col] != EMPTY && g.budget > 1);
        if (g.budget <= 1) return;
        g.field[cell.row][cell.col] = g.glyphs.bomb;
        ++g.bombs_placed;
        --g.budget;
    }
}

void spend_power(GameState& g, Terminal& term) {
    flash(term, Flash::power);
    --g.powers_held;
    const std::int32_t limit = g.bombs_placed > 10 ? g.bombs_placed - 10 : 0;
    build_field(g);
    g.field[g.row][g.col] = g.glyphs.player;  // nothing lands on the player
    // Once the budget is down to its last unit no bomb can fall: stop there.
    while (g.bombs_placed <= limit && g.budget > 1) scatter_bombs(g, term);
    term.sleep_ms(20);
    restore_colours(g, term);
}

}  // namespace skarvel
