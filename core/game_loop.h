// The game loop: games one after another until the player goes back to the
// main menu.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// How the player left the games.
enum class PlayExit {
    back_after_game,  // Back at the end of a game: the score record is due
    quit_mid_game,    // Q during a game: nothing is saved
};

// Runs games on the built field until the player goes back to the main menu.
PlayExit play_games(GameState& g, Terminal& term);

}  // namespace skarvel
