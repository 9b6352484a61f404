// What the game does to and with its console beyond the Terminal primitives:
// colour schemes and flashes, the typewriter banner, and line input.
#pragma once

#include <cstdint>

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel {

// '0' start-up set-up, '1'..'8' colour schemes (stored in `color`),
// 'h', 'k', 'p' flashes; any other code does nothing.
void set(GameState& g, Terminal& term, char mode);

// Types `str` at `wait` ms per byte, holds it 500 ms, then wipes it out again.
void floating(Terminal& term, const char* str, std::int32_t wait);

// Upper-cases a key as the screens compare keys: only 'a'..'z' change.
constexpr char upper(int key) { return static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key); }

// Reads one key and upper-cases it, as every screen does before comparing
// (only 'a'..'z' change, whatever the locale).
char read_upper(Terminal& term);

// Throws away line input up to and including the next newline.
void clear(Terminal& term);

// Reads a decimal integer from line input as "%d" does; false leaves `value` alone.
bool read_int(Terminal& term, std::int32_t& value);

}  // namespace skarvel
