// Curses key codes as the game's keys.
#pragma once

#include <optional>

#include "console/terminal.h"

namespace skarvel {

// The key for a curses key code: the byte itself for 0..255, the arrows by
// name, Key::Kind::other for any other key without a character; nullopt for
// what is no key (a resize).
std::optional<Key> key_of(int curses_code);

// Names the numpad's 8, 2, 4 and 6 as the arrows and its Enter as Enter on
// the current screen, however the terminal description names them (or does
// not); the arrows' own sequences too, in either cursor mode.
void name_keypad_keys();

}  // namespace skarvel
