// The Terminal on a real terminal, through ncursesw.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "console/terminal.h"

namespace skarvel {

// Starts curses on the process's own terminal, in the locale of the
// environment. Returns nullptr and says why in `why` when there is no
// terminal to start on (stdin or stdout not a tty, TERM unknown). The
// terminal is given back as it was (modes, screen, signal handlers) when
// the returned object goes.
std::unique_ptr<Terminal> open_curses_terminal(std::string& why);

// The same on the terminal behind `in` and `out`, of type `term_type`
// (nullptr: $TERM), in the locale as it stands.
std::unique_ptr<Terminal> open_curses_terminal(const char* term_type, std::FILE* out, std::FILE* in, std::string& why);

}  // namespace skarvel
