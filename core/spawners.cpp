#include "core/spawners.h"

namespace skarvel {

void reseed(GameState& g, Clock& clock) { g.rng.seed(static_cast<std::minstd_rand::result_type>(clock.seconds())); }

Cell draw_interior_cell(GameState& g) {
    const int row = static_cast<int>(g.rng() % static_cast<unsigned>(g.rows - 2)) + 1;
    const int col = static_cast<int>(g.rng() % static_cast<unsigned>(g.cols - 2)) + 1;
    return {row, col};
}

namespace {

// An empty cell that is not the player's.
bool is_free(const GameState& g, Cell cell) {
    return g.field[cell.row][cell.col] == EMPTY && (cell.row != g.row || cell.col != g.col);
}

bool has_free_cell(const GameState& g) {
    for (int row = 1; row < g.rows - 1; ++row) {
        for (int col = 1; col < g.cols - 1; ++col) {
            if (is_free(g, {row, col})) return true;
        }
    }
    return false;
}

// Draws cells until one is free. With no free interior cell left (the budget
// has run below 1) there is nothing to find, and the drop is skipped.
bool draw_free_cell(GameState& g, Cell& cell) {
    if (!has_free_cell(g)) return false;
    do {
        cell = draw_interior_cell(g);
    } while (!is_free(g, cell));
    return true;
}

// An item drops when the first draw is a multiple of `odds`.
struct Drop {
    unsigned odds;
    char glyph;
};

void maybe_drop(GameState& g, Clock& clock, Drop drop, std::int32_t& on_field) {
    reseed(g, clock);
    if (g.rng() % drop.odds != 0) return;
    Cell cell{};
    if (!draw_free_cell(g, cell)) return;
    g.field[cell.row][cell.col] = drop.glyph;
    ++on_field;
    --g.budget;
}

}  // namespace

void maybe_drop_power(GameState& g, Clock& clock) {
    maybe_drop(g, clock, {.odds = 10u * static_cast<unsigned>(g.level), .glyph = g.glyphs.power}, g.powers_on_field);
}

void maybe_drop_life(GameState& g, Clock& clock) {
    maybe_drop(g, clock, {.odds = 20u * static_cast<unsigned>(g.level), .glyph = g.glyphs.life}, g.lives_on_field);
}

void scatter_bombs(GameState& g, Clock& clock) {
    reseed(g, clock);
    const int count = g.level > 7 ? g.level - 7 : 1;
    for (int n = 0; n < count; ++n) {
        // While the budget is above 1 it leaves a free interior cell to find.
        Cell cell{};
        do {
            cell = draw_interior_cell(g);
        } while (!is_free(g, cell) && g.budget > 1);
        if (g.budget <= 1) return;
        g.field[cell.row][cell.col] = g.glyphs.bomb;
        ++g.bombs_placed;
        --g.budget;
    }
}

void spawn_after_move(GameState& g, Clock& clock) {
    maybe_drop_power(g, clock);
    maybe_drop_life(g, clock);
    scatter_bombs(g, clock);
}

void spend_power(GameState& g, Clock& clock) {
    --g.powers_held;
    const std::int32_t limit = g.bombs_placed > 10 ? g.bombs_placed - 10 : 0;
    build_field(g);
    // Once the budget is down to its last unit no bomb can fall: stop there.
    while (g.bombs_placed <= limit && g.budget > 1) scatter_bombs(g, clock);
}

}  // namespace skarvel
