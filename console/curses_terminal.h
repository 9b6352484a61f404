// The Terminal on a real terminal, through ncursesw.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "console/terminal.h"

namespace skarvel {

// Starts curses on the process's own terminal, in the locale of the
// environment; `stand_ins` are shown for control bytes where the locale has
// no UTF-8. Returns nullptr and says why in `why` when there is no terminal
// to start on (stdin or stdout not a tty, TERM unknown). Destroying the
// returned object restores the terminal (modes, screen, signal handlers).
std::unique_ptr<Terminal> open_curses_terminal(const StandIns& stand_ins, std::string& why);

// The same on the terminal behind `in` and `out`, of type `term_type`
// (nullptr: $TERM), in the locale as it stands.
std::unique_ptr<Terminal> open_curses_terminal(const char* term_type, std::FILE* out, std::FILE* in, std::string& why,
                                               const StandIns& stand_ins = {});

}  // namespace skarvel
