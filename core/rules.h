// The rules of one move: resolving the entered cell and populating the field.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// Results of judge.
constexpr int GAME_OVER = -1;
constexpr int GOES_ON = 0;
constexpr int WON = 1;

// An interior cell of the field.
struct Cell {
    int row;
    int col;
};

// Reseeds the generator from the clock in whole seconds, as every spawner and
// every game start does first: within one second they all draw alike.
void reseed(GameState& g, Terminal& term);

// A random interior cell: the row is drawn first, then the column.
Cell draw_cell(GameState& g);

// Resolves the cell (j_x, j_y) the player has entered: a bomb costs a life,
// an item is collected, an empty cell may win.
int judge(GameState& g, Terminal& term, int j_x, int j_y);

// Scatters this move's bombs: one, or two and three at levels 9 and 10.
void bombs(GameState& g, Terminal& term);

// Mode 1 may drop a power item; mode 2 spends a held power; others do nothing.
void powers(GameState& g, Terminal& term, int mode);

// May drop an extra-life item.
void lives(GameState& g, Terminal& term);

}  // namespace skarvel
