// The stored records as the game's state, and back; and the table of the
// options, each declared once.
#pragma once

#include <array>

#include "core/game_state.h"
#include "records/record_store.h"

namespace skarvel {

// The screens of the options menu.
enum class OptionsScreen { map_size, level, colour, display };

// An option: the screen that sets it, its name, how options.txt stores it
// (at its place in OPTIONS), its range and default, and where it lives in
// the game's state.
struct Option {
    char key;              // opens its screen from the options menu
    OptionsScreen screen;  // the screen that sets it
    const char* name;      // as the manual and the screens call it
    FieldFormat format;    // a number, or one digit character
    int min, max;          // the range the options screens keep
    int fallback;          // the default, and what a stored digit out of range gives
    int (*get)(const GameState&);
    void (*set)(GameState&, int);
};
extern const std::array<Option, 5> OPTIONS;

// Takes the stored settings into the game. A hand-edited or damaged file may
// hold anything: a number is clamped into its option's range, and a
// character that is not a digit of its range gives the option's default, so
// a field always fits the grid, the level can divide the drop odds and a
// display mode always has glyphs.
void apply_options(const OptionsRecord& stored, GameState& g);
OptionsRecord options_of(const GameState& g);

void apply_score(const ScoreRecord& stored, GameState& g);
ScoreRecord score_of(const GameState& g);

}  // namespace skarvel
