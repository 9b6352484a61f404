// What falls on the field: bombs after every move, now and then a power item
// or an extra-life item, and the bombs scattered again when a power is spent.
// Every placement uses up one of the game's placements to win, and nothing ever
// lands on the player's cell. Each spawner first reseeds the generator from
// the clock in whole seconds, so within one second they all pick alike.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Reseeds the generator from the clock, as every spawner and every game start do first.
void reseed(GameState& g, Clock& clock);

// A random interior cell: the row is picked first, then the column.
Position pick_interior_cell(GameState& g);

// Drops a power item on a free cell, one time in 10 x level.
void maybe_drop_power(GameState& g, Clock& clock);

// Drops an extra-life item on a free cell, one time in 20 x level.
void maybe_drop_life(GameState& g, Clock& clock);

// Scatters this move's bombs: one, or two and three at levels 9 and 10. None
// takes the placements to win below 0.
void scatter_bombs(GameState& g, Clock& clock);

// What falls after a move, in this order: maybe a power item, maybe a life
// item, then the bombs.
void spawn_after_move(GameState& g, Clock& clock);

// Spends a held power: the field is wiped, and all but nine of its bombs
// (at least one) are scattered again, as far as the placements to win allow.
void spend_power(GameState& g, Clock& clock);

}  // namespace skarvel
