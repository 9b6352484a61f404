// The stored records as the game's state, and back.
#pragma once

#include "core/game_state.h"
#include "records/record_store.h"

namespace skarvel {

// Takes the stored settings into the game. A hand-edited or damaged file may
// hold anything: each setting is brought into the range the options screens
// keep, so a field always fits the grid, the level can divide the drop odds
// and a display mode always has glyphs.
void apply_options(const OptionsRecord& stored, GameState& g);
OptionsRecord options_of(const GameState& g);

void apply_score(const ScoreRecord& stored, GameState& g);
ScoreRecord score_of(const GameState& g);

}  // namespace skarvel
