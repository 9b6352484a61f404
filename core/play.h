// The game loop.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Move keys, after upper-casing; arrow keys arrive as the second set.
constexpr char UP = 'W';
constexpr char UP2 = 'H';
constexpr char DOWN = 'S';
constexpr char DOWN2 = 'P';
constexpr char LEFT = 'A';
constexpr char LEFT2 = 'K';
constexpr char RIGHT = 'D';
constexpr char RIGHT2 = 'M';
constexpr char SKILL = 'X';

// Runs games on the built field until the player goes back to the main menu:
// Back after a finished game, or Q during one.
void play(GameState& g, Terminal& term);

}  // namespace skarvel
