// One move of the game: the cell the player has entered is resolved, the
// move counted, the field populated and the screen drawn. The game loop,
// the benchmarks and the fuzz targets all move through make_move.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

enum class Outcome { goes_on, won, game_over };

// What the player's cell does to the player: a bomb costs a life (and shows
// the hit while lives remain), an item is collected, an empty cell wins once
// the budget is down to 1. The cell itself is left as it is.
Outcome resolve_entered_cell(GameState& g, Terminal& term);

// Resolves the player's cell; if the game goes on, counts the move, lets the
// spawners drop items and bombs around the player, draws the screen and
// empties the player's cell, which also takes away what was collected.
Outcome make_move(GameState& g, Terminal& term);

}  // namespace skarvel
