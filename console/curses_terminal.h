// The Terminal on a real terminal, through ncursesw. The only file that knows curses.
#pragma once

#include <memory>
#include <string>

#include "console/terminal.h"

namespace skarvel {

class CursesTerminal;

// Starts curses on the process's own terminal. Returns nullptr and says why in
// `why` when there is no terminal to start on (stdin or stdout not a tty,
// TERM unknown). The terminal is restored when the returned object goes.
std::unique_ptr<CursesTerminal> open_curses_terminal(std::string& why);

}  // namespace skarvel
