// The one record of the run: the field, the counters of the game in
// progress and the settings.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "console/terminal.h"
#include "core/glyphs.h"
#include "core/limits.h"

namespace skarvel {

// NOLINTNEXTLINE(cert-msc51-cpp): the generator's default seed is never used; see rng.
struct GameState {
    // The field, [row][col]; only the first `rows` rows and `cols` columns are in use.
    std::array<std::array<Cell, GRID_COLS>, GRID_ROWS> field{};
    std::int32_t cols = DEFAULT_COLS;    // columns in use, borders included: the field's "length"
    std::int32_t rows = DEFAULT_ROWS;    // rows in use, borders included: the field's "width"
    std::int32_t row = 0;                // the player's row
    std::int32_t col = 0;                // the player's column
    std::int32_t level = DEFAULT_LEVEL;  // 1..10: bombs per move and the odds of the drops
    std::int32_t placements_to_win = 0;  // items and bombs still to fall; at 0 the next step onto an empty cell wins
    std::int32_t score = 0;              // moves survived in this game
    std::int32_t best_score = 0;         // the best score ever (stored)
    std::int32_t games_won = 0;          // games won ever (stored)
    std::int32_t bombs_placed = 0;       // bombs placed since the field was built
    std::int32_t powers_on_field = 0;    // power items lying on the field
    std::int32_t lives_on_field = 0;     // extra-life items lying on the field
    std::int32_t powers_held = 0;        // powers the player can spend
    std::int32_t lives_held = 0;         // lives the player has
    int colour_scheme = DEFAULT_SCHEME;  // 1..8
    DisplayMode display_mode = DisplayMode::pictures;
    std::minstd_rand rng;  // the spawners' generator, reseeded from the clock before every pick

    // The glyphs of the display mode.
    const GlyphSet& glyphs() const { return glyphs_of(display_mode); }
};

// Makes an empty bordered field of the current size and zeroes the counts of
// what lies on it. The game in progress (player, placements to win, score,
// what the player holds) is left alone: spending a power relies on that.
void build_field(GameState& g);

// Adds one to a counter that stops at the 32-bit maximum.
constexpr void saturating_increment(std::int32_t& counter) {
    if (counter < INT32_MAX) ++counter;
}

}  // namespace skarvel
