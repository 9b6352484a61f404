// The colour schemes the player chooses from, and the flashes of the game.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// A moment of other colours: a hit while lives remain, the game over, a spent power.
enum class Flash { hit, game_over, power };

// Start-up: the stored scheme on the console, and the window sized.
void set_up_console(const GameState& g, Terminal& term);

// Gives the console scheme 1..8 and keeps it as the player's choice.
void choose_colour_scheme(GameState& g, Terminal& term, int scheme);

// Gives the console the player's scheme again, ending a flash.
void restore_colours(const GameState& g, Terminal& term);

// Starts a flash; the caller ends it with restore_colours.
void flash(Terminal& term, Flash kind);

}  // namespace skarvel
