// The front end: program entry, the menus and their screens.
#pragma once

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

constexpr const char* F_HEL = "help.txt";
constexpr const char* TITLE = "\t\t KELDRY'S SKARVEL \n";  // first line of every menu screen
constexpr const char* SEN1 = "Thanks for your playing!\a";
constexpr const char* SEN2 = "\t\tWelcome to KELDRY'S SKARVEL!\a";

// Start-up, the main loop and the farewell; gives the exit status.
int run(GameState& g, Terminal& term);

// Clears the screen and types the welcome banner.
void welcome(Terminal& term);
// The main menu: 1 to play a game, -1 to quit; the other screens run inside it.
int start(GameState& g, Terminal& term);
// The achievements screen, until B.
void ach(const GameState& g, Terminal& term);
// The farewell banner.
void end(Terminal& term);

// The options menu, until B.
void options(GameState& g, Terminal& term);
// One options screen: 'M' map size, 'L' level, 'C' colour, 'D' display, either case.
void options_set(GameState& g, Terminal& term, char mode);

// The help screen: 1 after P, -1 after Q, 0 after B or a missing help file.
int help(const GameState& g, Terminal& term);

}  // namespace skarvel
