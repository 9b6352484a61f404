#include "console/curses_view.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace skarvel {

namespace {

// The cells kept in view around the marked cell (the player), room allowing.
constexpr int MARK_ROWS_AROUND = 3;
constexpr int MARK_COLS_AROUND = 8;

// A console colour (bit 1 blue, 4 red) as a curses colour (1 red, 4 blue).
short curses_colour(ConsoleColour colour) {
    const int c = static_cast<int>(colour);
    return static_cast<short>((c & 0b1010) | (c & 1) << 2 | (c & 4) >> 2);
}

// One cell of the standard screen: a character in colours.
cchar_t cell_of(char32_t c, CellColours colours) {
    const wchar_t glyph[2] = {static_cast<wchar_t>(c), L'\0'};
    cchar_t cell{};
    setcchar(&cell, glyph, colours.attributes, colours.pair, nullptr);
    return cell;
}

// Writes `text` on the standard screen from (row, col) on.
void put_cells(int row, int col, std::u32string_view text, CellColours colours) {
    std::array<cchar_t, CONSOLE_COLS> cells{};
    const std::size_t count = std::min(text.size(), cells.size());
    for (std::size_t x = 0; x < count; ++x) cells[x] = cell_of(text[x], colours);
    mvwadd_wchnstr(stdscr, row, col, cells.data(), static_cast<int>(count));
}

// The rows the console's text takes: down to the last not blank, or the cursor's.
int text_rows(const Console& console) {
    int last = CONSOLE_ROWS - 1;
    while (last > console.cursor().row && console.line(last).find_first_not_of(U' ') == std::u32string_view::npos) {
        --last;
    }
    return last + 1;
}

}  // namespace

std::optional<CursesColours> curses_colours(Colours colours, int count) {
    if (count < 8) return std::nullopt;
    const short foreground = curses_colour(colours.foreground);
    const short background = curses_colour(colours.background);
    if (count >= 16) return CursesColours{foreground, background, false};
    return CursesColours{static_cast<short>(foreground & 7), static_cast<short>(background & 7), (foreground & 8) != 0};
}

CursesPalette::CursesPalette() {
    const char* no_color = std::getenv("NO_COLOR");
    if (no_color != nullptr && *no_color != '\0') return;
    if (!has_colors() || start_color() != OK) return;
    use_default_colors();         // pair 0: the terminal's own colours
    if (COLOR_PAIRS < 2) return;  // no pair to spare: those stay
    count_ = COLORS;
    last_pair_ = static_cast<short>(std::min(COLOR_PAIRS - 1, 255));
    erases_in_colour_ = tigetflag("bce") > 0;
}

// Where the terminal clears in the current colours, the console's colours
// are made curses' default ones, pair 0, which curses goes back to at the
// end of every frame: a frame then sends no colours at all. Elsewhere, and
// for a bright foreground that needs bold (an attribute of every cell), a
// pair of their own; curses then clears by writing blanks where it must.
CellColours CursesPalette::cell_colours(Colours colours, bool flash) {
    const auto shown = curses_colours(colours, count_);
    if (!shown) return {0, flash ? A_REVERSE : A_NORMAL};
    if (erases_in_colour_ && !shown->bold) {
        if (defaults_ == colours) return {};
        if (assume_default_colors(shown->foreground, shown->background) == OK) {
            defaults_ = colours;
            return {.new_defaults = true};
        }
    }
    const auto index = static_cast<std::size_t>(colours.background) * 16 + static_cast<std::size_t>(colours.foreground);
    short& pair = pair_of_[index];
    if (pair == 0) pair = next_pair_ < last_pair_ ? next_pair_++ : last_pair_;
    init_pair(pair, shown->foreground, shown->background);
    return {pair, shown->bold ? A_BOLD : A_NORMAL};
}

int follow_cursor(const ViewAxis& axis) {
    const int margin = std::clamp(axis.margin, 0, (axis.shown - 1) / 2);
    int origin = axis.origin;
    if (axis.cursor - margin < origin) {
        origin = axis.cursor - margin;
    } else if (axis.cursor + margin >= origin + axis.shown) {
        origin = axis.cursor + margin - axis.shown + 1;
    }
    return std::clamp(origin, 0, std::max(0, axis.size - axis.shown));
}

void CursesView::reset_scroll() {
    top_ = 0;
    left_ = 0;
    scrolled_to_.reset();
}

void CursesView::set_colours(CellColours colours) {
    colours_ = colours;
    const cchar_t blank = cell_of(U' ', colours);
    wbkgrndset(stdscr, &blank);
    shown_.reset();  // every cell has changed
    // curses compares pairs, not colours: clear in the new default colours.
    if (colours.new_defaults) clearok(curscr, TRUE);
}

void CursesView::repaint() {
    clearok(curscr, TRUE);
    shown_.reset();
}

CursesView::Area CursesView::terminal_area(const Console& console) const {
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    const bool status = console.has_status() && rows > 1 && (rows < CONSOLE_ROWS || cols < CONSOLE_COLS);
    const int shown_rows = std::clamp(status ? rows - 1 : rows, 1, CONSOLE_ROWS);
    return {.rows = shown_rows, .cols = std::clamp(cols, 1, CONSOLE_COLS), .status = status};
}

CursesView::Range CursesView::scroll_range(const Console& console, const Area& view) {
    const bool smaller = view.rows < CONSOLE_ROWS || view.cols < CONSOLE_COLS;
    return {smaller ? -console.history_rows() : 0, std::max(text_rows(console) - view.rows, 0)};
}

bool CursesView::handle_scroll_key(const Console& console, int code) {
    const Area view = terminal_area(console);
    const Range range = scroll_range(console, view);
    if (console.marked() || range.last <= range.first) return false;
    int top = top_;
    switch (code) {
        case KEY_UP: --top; break;
        case KEY_DOWN: ++top; break;
        case KEY_PPAGE: top -= std::max(1, view.rows - 1); break;
        case KEY_NPAGE: top += std::max(1, view.rows - 1); break;
        case KEY_HOME: top = range.first; break;
        case KEY_END: top = range.last; break;
        default: return false;
    }
    scrolled_to_ = std::clamp(top, range.first, range.last);
    return true;
}

// Only the changed part of each changed row in view is written into curses
// (the whole view where it moved, was resized or recoloured). The player's
// scroll holds until the console changes: then the view follows the cursor
// again, from where the player left it, never past the text's end.
void CursesView::refresh(Console& console) {
    const auto mark = console.marked();
    const Position cursor = mark.value_or(console.cursor());
    if (console.lines_changed() || cursor != cursor_) scrolled_to_.reset();
    Area view = terminal_area(console);
    const Range range = scroll_range(console, view);
    top_ = scrolled_to_ ? std::clamp(*scrolled_to_, range.first, range.last)
                        : std::min(follow_cursor({.origin = top_,
                                                  .cursor = cursor.row,
                                                  .shown = view.rows,
                                                  .size = CONSOLE_ROWS,
                                                  .margin = mark ? MARK_ROWS_AROUND : 0}),
                                   range.last);
    left_ = follow_cursor({.origin = left_,
                           .cursor = cursor.col,
                           .shown = view.cols,
                           .size = CONSOLE_COLS,
                           .margin = mark ? MARK_COLS_AROUND : 0});
    view.top = top_;
    view.left = left_;
    const bool all = shown_ != view;
    if (all) {
        werase(stdscr);
        shown_ = view;
    }
    bool any = all || cursor != cursor_;
    for (int row = 0; row < view.rows; ++row) {
        const int line = top_ + row;
        const Console::ColSpan changed = all        ? Console::ColSpan{0, CONSOLE_COLS}
                                         : line < 0 ? Console::ColSpan{}
                                                    : console.changed(line);
        const int first = std::max(changed.first, left_);
        const int end = std::min(changed.end, left_ + view.cols);
        if (first >= end) continue;
        const std::u32string_view text = line < 0 ? console.history_line(line) : console.line(line);
        put_cells(row, first - left_,
                  text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)), colours_);
        any = true;
    }
    if (view.status && (all || console.status_changed())) {
        const CellColours reverse{colours_.pair, colours_.attributes | A_REVERSE};
        std::array<char32_t, CONSOLE_COLS> row{};  // the status, then blanks
        row.fill(U' ');
        const std::u32string_view status = console.status(view.cols);
        std::copy_n(status.begin(), std::min<std::size_t>(status.size(), row.size()), row.begin());
        put_cells(view.rows, 0, std::u32string_view(row.data(), static_cast<std::size_t>(view.cols)), reverse);
        any = true;
    }
    console.forget_changes();
    cursor_ = cursor;
    if (!any) return;
    wmove(stdscr, std::clamp(cursor.row - top_, 0, view.rows - 1), std::clamp(cursor.col - left_, 0, view.cols - 1));
    wrefresh(stdscr);
}

}  // namespace skarvel
