// The Terminal on a real terminal, through ncursesw. The only file that knows curses.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "console/terminal.h"

namespace skarvel {

// A Terminal drawn with ncursesw; made only by open_curses_terminal. Destroying
// it gives the terminal back as it was (modes, screen, signal handlers).
class CursesTerminal : public Terminal {
protected:
    CursesTerminal() = default;
};

// Starts curses on the process's own terminal. Returns nullptr and says why in
// `why` when there is no terminal to start on (stdin or stdout not a tty,
// TERM unknown). The terminal is restored when the returned object goes.
std::unique_ptr<CursesTerminal> open_curses_terminal(std::string& why);

// The same on the terminal behind `in` and `out`, of type `term_type` (nullptr:
// $TERM). Uses the locale as it stands; the one above sets it from the environment.
std::unique_ptr<CursesTerminal> open_curses_terminal(const char* term_type, std::FILE* out,
                                                     std::FILE* in, std::string& why);

// The bytes read_key hands out for one curses key code, in order: none for a
// resize, the prefix 224 and a letter for an arrow, 224 alone for any other
// key without a character, the byte itself for 0..255.
struct KeyBytes {
    int count = 0;
    unsigned char bytes[2] = {};
};
KeyBytes key_bytes(int curses_key);

// The console attribute (background digit * 16 + foreground digit) that a
// "COLOR XY" command asks for; nullopt for any other line, and for equal
// digits, which the console refuses.
std::optional<int> colour_attribute(std::string_view command);

// How curses shows a console attribute on a terminal with `colours` colours:
// nullopt when it cannot show colours at all.
struct CursesColours {
    short foreground = 0;
    short background = 0;
    bool bold = false;  // a bright foreground on an 8-colour terminal
    bool operator==(const CursesColours&) const = default;
};
std::optional<CursesColours> curses_colours(int attribute, int colours);

// The first of `shown` lines (or columns) of a `size`-long console to show so
// that `cursor` is in view: `origin` kept while it holds the cursor, else moved
// as little as needed.
int follow_cursor(int origin, int cursor, int shown, int size);

}  // namespace skarvel
