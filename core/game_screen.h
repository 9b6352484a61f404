// The game screen: a header, the field with its side panel, and the counters
// of what lies on the field.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Clears the console and draws the whole game screen from the state, the
// player shown as `player` (its glyph or its hit glyph) on its cell, with
// the cursor marked to rest there. The player is never in the grid itself.
void draw_game_screen(const GameState& g, Terminal& term, char player);

}  // namespace skarvel
