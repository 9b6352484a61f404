// The console's colours on a curses terminal.
#pragma once

#include <curses.h>

#include <array>
#include <optional>

#include "console/terminal.h"

namespace skarvel {

// A console colour pair as curses shows it.
struct CursesColours {
    short foreground = 0;
    short background = 0;
    bool bold = false;  // a bright foreground on an 8-colour terminal
    bool operator==(const CursesColours&) const = default;
};

// How curses shows `colours` on a terminal with `count` colours: the bright
// colours 8-15 directly with 16 or more, bold for a bright foreground with 8;
// nullopt with fewer, where the terminal's own colours stay.
std::optional<CursesColours> curses_colours(Colours colours, int count);

// A colour pair and attributes of curses.
struct CellColours {
    short pair = 0;
    attr_t attributes = A_NORMAL;
};

// Gives out the curses colour pairs that show console colours, made as they
// are first needed.
class CursesPalette {
public:
    // Starts colours on the current screen, where the terminal has them and
    // NO_COLOR does not ask for the terminal's own.
    CursesPalette();

    // The pair and attributes for `colours`. Without colours the terminal's
    // own (pair 0) stay, and a flash shows in reverse video.
    CellColours cell_colours(Colours colours, bool flash);

private:
    int count_ = 0;                     // colours the terminal has, 0 for none usable
    short next_pair_ = 1;               // the next colour pair not yet made
    short last_pair_ = 0;               // the highest pair we may use
    std::array<short, 256> pair_of_{};  // the pair of each colour combination, 0 for none yet
};

}  // namespace skarvel
