// What falls on the field: bombs after every move, now and then a power item
// or an extra-life item, and the bombs scattered again when a power is spent.
// Every placement uses up one unit of the game's budget.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Reseeds the generator from the clock in whole seconds, as every spawner and
// every game start does first: within one second they all draw alike.
void reseed(GameState& g, Terminal& term);

// A random interior cell: the row is drawn first, then the column.
Cell draw_interior_cell(GameState& g);

// Drops a power item on a free cell, one time in 10 x level.
void maybe_drop_power(GameState& g, Terminal& term);

// Drops an extra-life item on a free cell, one time in 20 x level.
void maybe_drop_life(GameState& g, Terminal& term);

// Scatters this move's bombs: one, or two and three at levels 9 and 10. None
// takes the budget below 1.
void scatter_bombs(GameState& g, Terminal& term);

// Spends a held power: the field is wiped, and all but ten of its bombs
// (at least one) are scattered again.
void spend_power(GameState& g, Terminal& term);

}  // namespace skarvel
