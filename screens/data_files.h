// Where the game finds the files it only reads: help.txt in the records'
// folder, else in the installed data folder.
#pragma once

#include <string>
#include <vector>

#include "core/game_state.h"

namespace skarvel {

// The installed data folders, in the order they are searched: the one beside
// the running program (`../share/skarvel` from its folder), then the one the
// build was configured for. `argv0` finds the program where /proc/self/exe
// cannot.
std::vector<std::string> installed_data_dirs(const char* argv0);

// The help text to show: help.txt in the records' folder, so a player's own
// text wins, else in the first of the data folders that holds one; "" when
// there is none. Only a regular file counts (a symbolic link as its target):
// a FIFO, a device or a folder of that name is passed over.
std::string find_help_file(const GameState& g);

}  // namespace skarvel
