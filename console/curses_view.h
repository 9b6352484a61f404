// The console on the terminal: the part of the 150x40 console that the
// terminal has room for, and only what has changed since it was last shown;
// on a terminal smaller than the console, the game's status line under it.
#pragma once

#include <curses.h>

#include <array>
#include <optional>
#include <string_view>

#include "console/curses_colours.h"
#include "console/screen_buffer.h"

namespace skarvel {

// One axis of the view, lines or columns: the first of `shown` of `size`
// to show, so that `cursor` is in view with `margin` on either side where
// the console allows; `origin`, the first shown before, is kept while it
// does, else moved as little as needed.
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
    // Shows the console through `pad`, a 150x40 curses pad.
    explicit CursesView(WINDOW* pad);
    ~CursesView();
    CursesView(const CursesView&) = delete;
    CursesView& operator=(const CursesView&) = delete;

    // Puts on the terminal what has changed in `console`: the whole of it, or
    // on a smaller terminal the part that holds the cursor, or the marked cell
    // and a few cells around it, or the part the player scrolled to. The
    // terminal's cursor rests on the mark, if there is one, else where the
    // text ends.
    void show(const ScreenBuffer& console);

    // A screen drawn anew shows from its first line and column.
    void go_home();

    // Gives every cell these colours, text already shown included.
    void set_colours(CellColours colours);

    // Paints the whole terminal anew at the next show (after a resize).
    void repaint();

    // A line shown on the row under the view, the view one row shorter, while
    // the terminal is smaller than the console; on a terminal that holds the
    // whole console nothing of it shows. Kept until drop_status.
    void show_status(std::u32string_view line);
    void drop_status();

    // Takes a scroll key (Up, Down, PageUp, PageDown, Home, End) while the
    // console has no mark and its text is taller than the view: true when
    // taken, and the next show moves the view. On a terminal smaller than the
    // console the lines scrolled off the console's top can be scrolled back
    // to as well; a terminal that holds the whole console shows it as the
    // console is, as it always has.
    bool take_scroll_key(const ScreenBuffer& console, int code);

private:
    // The part of the terminal the console takes, and whether the status
    // line shows (on the row under it).
    struct Layout {
        int rows = 0, cols = 0;
        bool status = false;
    };
    Layout layout() const;
    bool copy_changes(const ScreenBuffer& console);
    void put_status(int row, int cols, bool blank);
    int history_shown(const ScreenBuffer& console);

    // The part of the pad on the terminal, and where the cursor is.
    struct Area {
        int top = -1, left = -1, rows = 0, cols = 0;
        bool status = false;
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
    int top_ = 0;                                   // first pad line shown; below 0, history lines above it
    int left_ = 0;                                  // first pad column shown
    std::optional<int> scrolled_to_;                // the first line the player scrolled to
    WINDOW* status_pad_;                            // one line for the status, nullptr if none could be made
    std::array<char32_t, CONSOLE_COLS> status_{};   // the status line's text
    bool has_status_ = false;                       // a status line to show
    bool status_changed_ = false;                   // its text not yet shown as it is
    int status_row_ = -1;                           // the terminal row it was last shown on, -1 for none
    // The console's lines scrolled off its top, made when first scrolled to,
    // its last `history_rows_` rows in use; written as of `history_of_`
    // lines scrolled off (nullopt: not yet, or to be written again).
    WINDOW* history_pad_ = nullptr;
    int history_rows_ = 0;
    std::optional<std::size_t> history_of_;
};

}  // namespace skarvel
