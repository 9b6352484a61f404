// The console on the terminal, through curses' standard screen: the part of
// the console the terminal has room for, in the console's colours, and on a
// smaller terminal the status line under it. Only what changed since the
// last refresh is handed to curses, whose own comparison then sends only
// what differs.
#pragma once

#include <curses.h>

#include <array>
#include <optional>

#include "console/console.h"

namespace skarvel {

// How curses shows console colours on a terminal with `count` colours: the
// bright colours 8-15 directly with 16 or more, bold for a bright foreground
// with 8; none with fewer, where the terminal's own colours stay.
struct CursesColours {
    short foreground = 0;
    short background = 0;
    bool bold = false;
    bool operator==(const CursesColours&) const = default;
};
std::optional<CursesColours> curses_colours(Colours colours, int count);

// What every cell is drawn with.
struct CellColours {
    short pair = 0;
    attr_t attributes = A_NORMAL;
    bool new_defaults = false;  // pair 0 (curses' default colours) now means other colours
};

// The curses colours of the console's colours. Without colours (or with
// NO_COLOR set) the terminal's own stay, and a flash shows in reverse video.
class CursesPalette {
public:
    CursesPalette();
    CellColours cell_colours(Colours colours, bool flash);

private:
    int count_ = 0;                     // colours the terminal has, 0 for none usable
    bool erases_in_colour_ = false;     // the terminal clears in the current colours (bce)
    std::optional<Colours> defaults_;   // what pair 0 shows, where the game has set it
    short next_pair_ = 1;               // the next pair not yet made
    short last_pair_ = 0;               // the highest pair we may use
    std::array<short, 256> pair_of_{};  // the pair of each pair of colours, 0 for none yet
};

// One axis of the view: the first of `shown` rows (or columns) of `size` to
// show so that `cursor` is in view with `margin` on either side where there
// is room; `origin`, the first shown before, is kept where it can be, else
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
    // Puts on the terminal what changed in `console` since the last refresh:
    // all of it, or on a smaller terminal the part around the cursor (the
    // marked cell with a few cells around it), or the part the player
    // scrolled to. The cursor rests on the mark, if any, else on the cursor.
    void refresh(Console& console);

    void reset_scroll();                    // a new screen shows from its top left
    void set_colours(CellColours colours);  // every cell, text already shown included
    void repaint();                         // redraw the whole terminal at the next refresh

    // Scrolls by Up, Down, PageUp, PageDown, Home or End while the console
    // has no mark and its text is taller than the view; false for any other
    // key. A terminal smaller than the console can also scroll back to the
    // rows scrolled off the console's top.
    bool handle_scroll_key(const Console& console, int code);

private:
    // The terminal's rows and columns the console takes, whether the status
    // line shows under them, and the first console row and column shown.
    struct Area {
        int rows = 0, cols = 0;
        bool status = false;
        int top = 0, left = 0;
        bool operator==(const Area&) const = default;
    };
    Area terminal_area(const Console& console) const;
    // The first rows the view may show, from the oldest scrolled off (on a
    // terminal smaller than the console) to the one that ends the text in view.
    struct Range {
        int first = 0, last = 0;
    };
    static Range scroll_range(const Console& console, const Area& view);

    CellColours colours_;
    std::optional<Area> shown_;       // as last refreshed; none to draw it all again
    Position cursor_;                 // as last refreshed
    int top_ = 0;                     // the first console row shown; below 0, the scroll-back
    int left_ = 0;                    // the first console column shown
    std::optional<int> scrolled_to_;  // the top row the player scrolled to
};

}  // namespace skarvel
