// The console on the terminal: the part of the 150x40 console that the
// terminal has room for, and only what has changed since it was last shown.
#pragma once

#include <curses.h>

#include <array>

#include "console/curses_colours.h"
#include "console/screen_buffer.h"

namespace skarvel {

// Which part of the console's lines (or columns) to show: the first of
// `shown` of `size`, so that `cursor` is in view with `margin` on either side
// where the console allows; `origin`, the first shown before, is kept while
// it does, else moved as little as needed.
struct Follow {
    int origin = 0;
    int cursor = 0;
    int shown = 1;
    int size = 1;
    int margin = 0;
};
int follow_cursor(const Follow& f);

class CursesView {
public:
    // Shows the console through `pad`, a 150x40 curses pad.
    explicit CursesView(WINDOW* pad);

    // Puts on the terminal what has changed in `console`: the whole of it, or
    // on a smaller terminal the part that holds the cursor, or the marked cell
    // and a few cells around it. The terminal's cursor rests on the mark, if
    // there is one, else where the text ends.
    void show(const ScreenBuffer& console);

    // A screen drawn anew shows from its first line and column.
    void go_home();

    // Gives every cell these colours, text already shown included.
    void set_colours(CellColours colours);

    // Paints the whole terminal anew at the next show (after a resize).
    void repaint();

private:
    void copy_changes(const ScreenBuffer& console);

    // The part of the pad on the terminal, and where the cursor is.
    struct Area {
        int top = -1, left = -1, rows = 0, cols = 0;
        bool operator==(const Area&) const = default;
    };
    struct Cursor {
        int row = 0, col = 0;
        bool operator==(const Cursor&) const = default;
    };

    WINDOW* pad_;                                   // the 150x40 console in curses
    std::array<char32_t, CONSOLE_CELLS> in_pad_{};  // what the pad holds
    CellColours colours_;                           // of the pad's background, for every cell
    std::array<bool, CONSOLE_LINES> changed_{};     // pad lines not yet shown as they are
    Area shown_;                                    // as last shown; {} to show it all again
    Cursor cursor_;                                 // as last shown
    int top_ = 0;                                   // first pad line shown
    int left_ = 0;                                  // first pad column shown
};

}  // namespace skarvel
