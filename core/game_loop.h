// The game loop: games one after another until the player goes back to the
// main menu.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// How the player left the games.
enum class GamesLeft {
    after_game_end,  // Back at the end of a game: the score record is due
    mid_game,        // Q during a game: nothing is saved
};

// Runs games on the built field until the player goes back to the main menu.
GamesLeft play_games(GameState& g, Terminal& term);

}  // namespace skarvel
