// The console on the terminal, in curses' standard screen: the part of the
// 150x40 console the terminal has room for, in the console's colours, and
// on a smaller terminal the game's status line under it. Only what changed
// since the last refresh is handed to curses, whose own comparison then
// sends only what differs.
#pragma once

#include <curses.h>

#include <array>
#include <optional>

#include "console/console.h"

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
    bool new_defaults = false;  // pair 0, curses' default colours, now shows other colours
};

// The curses colour pairs that show console colours, made as first needed.
class CursesPalette {
public:
    // Starts colours where the terminal has them and NO_COLOR does not ask
    // for the terminal's own.
    CursesPalette();
    // Without colours the terminal's own (pair 0) stay, and a flash shows in reverse video.
    CellColours cell_colours(Colours colours, bool flash);

private:
    int count_ = 0;                     // colours the terminal has, 0 for none usable
    bool erases_in_colour_ = false;     // the terminal clears in the current colours (bce)
    std::optional<Colours> defaults_;   // what pair 0 shows, where the game has set it
    short next_pair_ = 1;               // the next colour pair not yet made
    short last_pair_ = 0;               // the highest pair we may use
    std::array<short, 256> pair_of_{};  // the pair of each colour combination, 0 for none yet
};

// One axis of the view, lines or columns: the first of `shown` of `size` to
// show so that `cursor` is in view, with `margin` on either side where the
// console allows; `origin`, the first shown before, kept while it does, else
// moved as little as needed.
struct ViewAxis {
    int origin = 0;
    int cursor = 0;
    int shown = 1;
    int size = 1;
    int margin = 0;
};
int follow_cursor(const ViewAxis& axis);

class CursesView {
public:
    // Puts on the terminal what changed in `console` since the last refresh,
    // and forgets its changes: all of it, or on a smaller terminal the part
    // that holds the cursor (the marked cell with a few cells around it), or
    // the part the player scrolled to. The cursor rests on the mark, if there
    // is one, else where the text ends.
    void refresh(Console& console);

    void reset_scroll();                    // a new screen shows from its top left
    void set_colours(CellColours colours);  // every cell, text already shown included
    void repaint();                         // redraw the whole terminal at the next refresh

    // Scrolls by a scroll key (Up, Down, PageUp, PageDown, Home, End) while
    // the console has no mark and its text is taller than the view: false
    // for any other key. On a terminal smaller than the console the rows
    // scrolled off its top can be scrolled to as well; a terminal that holds
    // the whole console shows it as the console is.
    bool handle_scroll_key(const Console& console, int code);

private:
    // The terminal's rows and columns the console takes, whether the status
    // line shows (on the row under them), and the first console line and
    // column shown.
    struct Area {
        int rows = 0, cols = 0;
        bool status = false;
        int top = 0, left = 0;
        bool operator==(const Area&) const = default;
    };
    Area terminal_area(const Console& console) const;
    // The first lines the view may show: from the oldest line scrolled off
    // (on a terminal smaller than the console) to the text's last in view.
    struct Range {
        int first = 0, last = 0;
    };
    static Range scroll_range(const Console& console, const Area& view);

    CellColours colours_;             // of every cell
    std::optional<Area> shown_;       // as last shown; none to show it all again
    Position cursor_;                 // as last shown
    int top_ = 0;                     // first console line shown; below 0, lines scrolled off
    int left_ = 0;                    // first console column shown
    std::optional<int> scrolled_to_;  // the first line the player scrolled to
};

}  // namespace skarvel
