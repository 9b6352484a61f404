// The rules of a step: where a move key takes the player, and what the cell
// the player enters does. They change the game state and say what happened;
// the game loop shows it.
#pragma once

#include "core/game_state.h"
#include "core/keys.h"

namespace skarvel {

// What entering a cell did.
enum class Outcome {
    plain_move,  // an empty cell, and the game goes on
    hit,         // a bomb, and a life to spare
    collected,   // a power item or an extra-life item
    won,         // an empty cell once no placement is left before the win
    game_over,   // a bomb took the last life
};

// Resolves the player's cell: a bomb costs a life, an item is collected, an
// empty cell wins once the placements to win are used up. What was collected, and a bomb
// survived, are gone from the field; a fatal bomb stays.
Outcome resolve_entered_cell(GameState& g);

// Moves the player one cell; off one edge of the interior, back in at the other.
void move_player(GameState& g, Direction direction);

}  // namespace skarvel
