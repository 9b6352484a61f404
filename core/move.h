// One move of the game as the player sees it: the cell the player has
// entered is resolved, a hit shown, the move counted, the field populated
// and the screen drawn. The game loop, the benchmarks and the fuzz targets
// all move through make_move.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"
#include "core/rules.h"

namespace skarvel {

// Makes the move onto the player's cell and says what the cell did. A game
// that is won or over is left for the game loop to show; any other move is
// counted, the spawners drop items and bombs, and the screen is drawn.
Outcome make_move(GameState& g, Terminal& term);

}  // namespace skarvel
