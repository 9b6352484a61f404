// The game screen: a header, the field with its side panel, and the counters
// of what lies on the field.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Clears the console and draws the whole game screen from the state, the
// player drawn as `player` (Cell::player, or Cell::player_hit) on its cell,
// with the cursor marked to rest there.
void draw_game_screen(const GameState& g, Terminal& term, Cell player);

}  // namespace skarvel
