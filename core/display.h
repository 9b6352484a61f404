// The game screen: header, the field with its side panel, and the item counters.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Clears the console and draws the whole game screen from the state.
void print(const GameState& g, Terminal& term);

}  // namespace skarvel
