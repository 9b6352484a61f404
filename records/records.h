// The two record files in the records' folder (the working directory unless
// GameState::records_dir names another): the best score and games won, and
// the five settings.
#pragma once

#include "core/game_state.h"

namespace skarvel {

constexpr const char* F_SCO = "score.txt";    // "%d %d": h_score survival
constexpr const char* F_OPT = "options.txt";  // "%d %d %c %c %d": max_r max_l color rev_mode lev

// Reads the fields in order and stops at the first unreadable one; a file
// that cannot be opened changes nothing.
void load_score(GameState& g);
void load_options(GameState& g);

// Replaces the whole file, or leaves the old one as it was when that cannot
// be done. Nothing is reported either way.
void save_score(const GameState& g);
void save_options(const GameState& g);

}  // namespace skarvel
