#include "console/curses_view.h"

#include <algorithm>
#include <string>

namespace skarvel {

namespace {

// The cells kept in view around a marked cell (the player), where the
// terminal has room for them: enough to see what the next steps walk into.
constexpr int MARK_ROWS_AROUND = 3;
constexpr int MARK_COLS_AROUND = 8;

// The lines of the console its text takes: down to the last that is not
// blank, or to the cursor's if that is lower.
int text_rows(const ScreenBuffer& console) {
    int last = CONSOLE_LINES - 1;
    while (last > console.row() && console.line(last).find_first_not_of(U' ') == std::u32string_view::npos) --last;
    return last + 1;
}

// Writes `text` into `window` from (row, col) on, in `colours`.
void put_cells(WINDOW* window, int row, int col, std::u32string_view text, CellColours colours) {
    std::array<cchar_t, CONSOLE_COLS> cells{};
    const std::size_t count = std::min(text.size(), cells.size());
    for (std::size_t x = 0; x < count; ++x) {
        const wchar_t glyph[2] = {static_cast<wchar_t>(text[x]), L'\0'};
        setcchar(&cells[x], glyph, colours.attributes, colours.pair, nullptr);
    }
    mvwadd_wchnstr(window, row, col, cells.data(), static_cast<int>(count));
}

}  // namespace

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

CursesView::CursesView(WINDOW* pad) : pad_(pad), status_pad_(newpad(1, CONSOLE_COLS)) {
    in_pad_.fill(U' ');  // a new pad is blank
    status_.fill(U' ');
}

CursesView::~CursesView() {
    if (status_pad_ != nullptr) delwin(status_pad_);
    if (history_pad_ != nullptr) delwin(history_pad_);
}

void CursesView::go_home() {
    top_ = 0;
    left_ = 0;
    scrolled_to_.reset();
    history_of_.reset();
}

void CursesView::set_colours(CellColours colours) {
    colours_ = colours;
    wbkgd(pad_, ' ' | COLOR_PAIR(colours.pair) | colours.attributes);
    shown_ = {};  // every cell has changed
    history_of_.reset();
}

void CursesView::repaint() {
    clearok(curscr, TRUE);
    shown_ = {};
}

void CursesView::show_status(std::u32string_view line) {
    std::array<char32_t, CONSOLE_COLS> text{};
    text.fill(U' ');
    std::copy_n(line.begin(), std::min<std::size_t>(line.size(), CONSOLE_COLS), text.begin());
    if (!has_status_ || text != status_) status_changed_ = true;
    status_ = text;
    has_status_ = true;
}

void CursesView::drop_status() { has_status_ = false; }

bool CursesView::take_scroll_key(const ScreenBuffer& console, int code) {
    const Layout view = layout();
    const int rows = view.rows;
    const bool smaller = rows < CONSOLE_LINES || view.cols < CONSOLE_COLS;
    const int first_top = smaller ? -console.history_lines() : 0;
    const int last_top = std::max(text_rows(console) - rows, 0);
    if (console.marked() || last_top <= first_top) return false;
    int top = top_;
    switch (code) {
        case KEY_UP: --top; break;
        case KEY_DOWN: ++top; break;
        case KEY_PPAGE: top -= std::max(1, rows - 1); break;
        case KEY_NPAGE: top += std::max(1, rows - 1); break;
        case KEY_HOME: top = first_top; break;
        case KEY_END: top = last_top; break;
        default: return false;
    }
    scrolled_to_ = std::clamp(top, first_top, last_top);
    return true;
}

CursesView::Layout CursesView::layout() const {
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    const bool status =
        has_status_ && status_pad_ != nullptr && rows > 1 && (rows < CONSOLE_LINES || cols < CONSOLE_COLS);
    return {std::clamp(status ? rows - 1 : rows, 1, CONSOLE_LINES), std::clamp(cols, 1, CONSOLE_COLS), status};
}

// Only the lines that changed are copied to the terminal (the cursor's line
// among them, so that the cursor goes along); the whole view when it has
// moved, been resized or recoloured. The player's scroll holds until the
// console changes (text written, the cursor moved, a clear): from then on
// the view follows the cursor again, from where the player left it.
void CursesView::show(const ScreenBuffer& console) {
    const auto mark = console.marked();
    const Cursor cursor = mark ? Cursor{mark->row, mark->col} : Cursor{console.row(), console.col()};
    if (copy_changes(console) || cursor != cursor_) scrolled_to_.reset();
    wmove(pad_, cursor.row, cursor.col);
    const Layout view = layout();
    top_ = scrolled_to_ ? std::clamp(*scrolled_to_, -console.history_lines(), CONSOLE_LINES - view.rows)
                        : follow_cursor({.origin = top_,
                                         .cursor = cursor.row,
                                         .shown = view.rows,
                                         .size = CONSOLE_LINES,
                                         .margin = mark ? MARK_ROWS_AROUND : 0});
    left_ = follow_cursor({.origin = left_,
                           .cursor = cursor.col,
                           .shown = view.cols,
                           .size = CONSOLE_COLS,
                           .margin = mark ? MARK_COLS_AROUND : 0});
    const Area area{top_, left_, view.rows, view.cols, view.status};
    const bool moved = area != shown_;
    if (moved) {
        changed_.fill(true);
        shown_ = area;
        status_changed_ = true;
        // A status row that stays, or that the view now covers, needs no blanking.
        if (status_row_ >= view.rows && !(view.status && status_row_ == view.rows)) {
            put_status(status_row_, view.cols, true);
        }
        status_row_ = -1;
    }
    bool any = cursor != cursor_ || std::find(changed_.begin(), changed_.end(), true) != changed_.end();
    if (view.status && status_changed_) {
        put_status(view.rows, view.cols, false);  // before the console, whose cursor must win
        status_row_ = view.rows;
        status_changed_ = false;
        any = true;
    }
    if (any) {
        changed_[static_cast<std::size_t>(cursor.row)] = true;
        cursor_ = cursor;
    }
    // Above the console's first line, what scrolled off it.
    if (top_ < 0 && moved) {
        const int above = history_shown(console);
        if (above > 0) pnoutrefresh(history_pad_, history_rows_ - above, left_, 0, 0, above - 1, view.cols - 1);
    }
    for (int y = std::max(top_, 0); y < top_ + view.rows; ++y) {
        if (!changed_[static_cast<std::size_t>(y)]) continue;
        int end = y + 1;
        while (end < top_ + view.rows && changed_[static_cast<std::size_t>(end)]) ++end;
        pnoutrefresh(pad_, y, left_, y - top_, 0, end - 1 - top_, view.cols - 1);
        // Not end - 1: line `end` is unchanged (or past the view), and the
        // loop's ++y steps over it.
        y = end;
    }
    changed_.fill(false);
    if (any) doupdate();
}

// Writes the console's history into its pad, if it is not there as it
// stands; gives how many of its lines the view shows above the console.
int CursesView::history_shown(const ScreenBuffer& console) {
    if (history_pad_ == nullptr) history_pad_ = newpad(ScreenBuffer::HISTORY_LINES, CONSOLE_COLS);
    if (history_pad_ == nullptr) return 0;
    if (history_of_ != console.scrolled_off()) {
        wbkgd(history_pad_, ' ' | COLOR_PAIR(colours_.pair) | colours_.attributes);
        history_rows_ = console.history_lines();
        for (int y = 0; y < history_rows_; ++y) put_cells(history_pad_, y, 0, console.history_line(y), colours_);
        history_of_ = console.scrolled_off();
    }
    return std::min(-top_, history_rows_);
}

// Puts the status line (or, `blank`, blanks) on row `row` of the terminal.
void CursesView::put_status(int row, int cols, bool blank) {
    const std::u32string blanks(CONSOLE_COLS, U' ');
    const std::u32string_view text =
        blank ? std::u32string_view(blanks) : std::u32string_view(status_.data(), status_.size());
    const CellColours colours{colours_.pair, blank ? colours_.attributes : colours_.attributes | A_REVERSE};
    put_cells(status_pad_, 0, 0, text, colours);
    pnoutrefresh(status_pad_, 0, 0, row, 0, row, cols - 1);
}

// Puts into the pad the cells of the console that differ from what it holds:
// on each line the span from the first to the last changed cell, in the
// colours of the pad's background, so that the next colour change recolours
// them with the rest. True when any cell differed.
bool CursesView::copy_changes(const ScreenBuffer& console) {
    bool any = false;
    for (int y = 0; y < CONSOLE_LINES; ++y) {
        const std::u32string_view now = console.line(y);
        char32_t* const was = in_pad_.data() + static_cast<std::ptrdiff_t>(y) * CONSOLE_COLS;
        const auto differs = [&](int x) { return now[static_cast<std::size_t>(x)] != was[x]; };
        int first = 0;
        while (first < CONSOLE_COLS && !differs(first)) ++first;
        if (first == CONSOLE_COLS) continue;
        int end = CONSOLE_COLS;
        while (!differs(end - 1)) --end;
        const std::u32string_view span =
            now.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
        std::copy(span.begin(), span.end(), was + first);
        put_cells(pad_, y, first, span, colours_);
        changed_[static_cast<std::size_t>(y)] = true;
        any = true;
    }
    return any;
}

}  // namespace skarvel
