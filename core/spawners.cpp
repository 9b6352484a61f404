#include "core/spawners.h"

#include <optional>

namespace skarvel {

void reseed(GameState& g, Clock& clock) { g.rng.seed(static_cast<std::minstd_rand::result_type>(clock.seconds())); }

Position pick_interior_cell(GameState& g) {
    const int row = static_cast<int>(g.rng() % static_cast<unsigned>(g.rows - 2)) + 1;
    const int col = static_cast<int>(g.rng() % static_cast<unsigned>(g.cols - 2)) + 1;
    return {row, col};
}

namespace {

// An empty cell that is not the player's.
bool is_free(const GameState& g, Position at) {
    return g.field[at.row][at.col] == Cell::empty && (at.row != g.row || at.col != g.col);
}

bool has_free_cell(const GameState& g) {
    for (int row = 1; row < g.rows - 1; ++row) {
        for (int col = 1; col < g.cols - 1; ++col) {
            if (is_free(g, {row, col})) return true;
        }
    }
    return false;
}

// Picks cells until one is free. With no free interior cell left (drops
// have taken the placements to win below 0) there is nothing to find.
std::optional<Position> pick_free_cell(GameState& g) {
    if (!has_free_cell(g)) return std::nullopt;
    Position at;
    do {
        at = pick_interior_cell(g);
    } while (!is_free(g, at));
    return at;
}

// An item drops when the first pick is a multiple of `odds`.
void maybe_drop(GameState& g, Clock& clock, unsigned odds, Cell item, std::int32_t& on_field) {
    reseed(g, clock);
    if (g.rng() % odds != 0) return;
    const auto at = pick_free_cell(g);
    if (!at) return;
    g.field[at->row][at->col] = item;
    ++on_field;
    --g.placements_to_win;
}

}  // namespace

void maybe_drop_power(GameState& g, Clock& clock) {
    maybe_drop(g, clock, 10u * static_cast<unsigned>(g.level), Cell::power, g.powers_on_field);
}

void maybe_drop_life(GameState& g, Clock& clock) {
    maybe_drop(g, clock, 20u * static_cast<unsigned>(g.level), Cell::extra_life, g.lives_on_field);
}

void scatter_bombs(GameState& g, Clock& clock) {
    reseed(g, clock);
    const int count = g.level > 7 ? g.level - 7 : 1;
    for (int n = 0; n < count; ++n) {
        // While a placement is left before the win there is a free interior cell to find.
        Position at;
        do {
            at = pick_interior_cell(g);
        } while (!is_free(g, at) && g.placements_to_win > 0);
        if (g.placements_to_win <= 0) return;
        g.field[at.row][at.col] = Cell::bomb;
        ++g.bombs_placed;
        --g.placements_to_win;
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
    // With no placement left before the win no bomb can fall: stop there.
    while (g.bombs_placed <= limit && g.placements_to_win > 0) scatter_bombs(g, clock);
}

}  // namespace skarvel
