// One turn of the game as the player sees it, once a key has moved the
// player (move_player): the cell entered is resolved, a hit shown, the move
// counted, the field populated and the screen drawn. The game loop, the
// benchmarks and the fuzz targets all play turns through play_turn.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"
#include "core/rules.h"

namespace skarvel {

// Plays the turn of the player's move onto its cell and says what the cell
// did. A game that is won or over is left for the game loop to show; any
// other move is counted, the spawners drop items and bombs, and the screen
// is drawn.
Outcome play_turn(GameState& g, Terminal& term);

}  // namespace skarvel
