// What a terminal type can do, from its terminal description.
#pragma once

namespace skarvel {

// True for a known terminal type that can put the cursor anywhere and clear
// the screen, as every screen of the game needs; `fd` is the terminal. An
// unknown type gives true, for curses to name it when it starts.
bool can_address_and_clear(const char* term_type, int fd);

}  // namespace skarvel
