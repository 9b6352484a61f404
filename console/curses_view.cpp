#include "console/curses_view.h"

#include <algorithm>

namespace skarvel {

namespace {

// The cells kept in view around a marked cell (the player), where the
// terminal has room for them: enough to see what the next steps walk into.
constexpr int MARK_ROWS_AROUND = 3;
constexpr int MARK_COLS_AROUND = 8;

}  // namespace

int follow_cursor(const Follow& f) {
    const int margin = std::clamp(f.margin, 0, (f.shown - 1) / 2);
    int origin = f.origin;
    if (f.cursor - margin < origin) {
        origin = f.cursor - margin;
    } else if (f.cursor + margin >= origin + f.shown) {
        origin = f.cursor + margin - f.shown + 1;
    }
    return std::clamp(origin, 0, std::max(0, f.size - f.shown));
}

CursesView::CursesView(WINDOW* pad) : pad_(pad) {
    in_pad_.fill(U' ');  // a new pad is blank
}

void CursesView::go_home() {
    top_ = 0;
    left_ = 0;
}

void CursesView::set_colours(CellColours colours) {
    colours_ = colours;
    wbkgd(pad_, ' ' | COLOR_PAIR(colours.pair) | colours.attributes);
    shown_ = {};  // every cell has changed
}

void CursesView::repaint() {
    clearok(curscr, TRUE);
    shown_ = {};
}

// Only the lines that changed are copied to the terminal (the cursor's line
// among them, so that the cursor goes along); the whole view when it has
// moved, been resized or recoloured.
void CursesView::show(const ScreenBuffer& console) {
    const auto mark = console.marked();
    const Cursor cursor = mark ? Cursor{mark->row, mark->col} : Cursor{console.row(), console.col()};
    copy_changes(console);
    wmove(pad_, cursor.row, cursor.col);
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    rows = std::clamp(rows, 1, CONSOLE_LINES);
    cols = std::clamp(cols, 1, CONSOLE_COLS);
    top_ = follow_cursor({.origin = top_,
                          .cursor = cursor.row,
                          .shown = rows,
                          .size = CONSOLE_LINES,
                          .margin = mark ? MARK_ROWS_AROUND : 0});
    left_ = follow_cursor({.origin = left_,
                           .cursor = cursor.col,
                           .shown = cols,
                           .size = CONSOLE_COLS,
                           .margin = mark ? MARK_COLS_AROUND : 0});
    const Area area{top_, left_, rows, cols};
    if (area != shown_) {
        changed_.fill(true);
        shown_ = area;
    }
    const bool any = cursor != cursor_ || std::find(changed_.begin(), changed_.end(), true) != changed_.end();
    if (any) {
        changed_[static_cast<std::size_t>(cursor.row)] = true;
        cursor_ = cursor;
    }
    for (int y = top_; y < top_ + rows; ++y) {
        if (!changed_[static_cast<std::size_t>(y)]) continue;
        int end = y + 1;
        while (end < top_ + rows && changed_[static_cast<std::size_t>(end)]) ++end;
        pnoutrefresh(pad_, y, left_, y - top_, 0, end - 1 - top_, cols - 1);
        y = end;
    }
    changed_.fill(false);
    if (any) doupdate();
}

// Puts into the pad the cells of the console that differ from what it holds:
// on each line the span from the first to the last changed cell, in the
// colours of the pad's background, so that the next colour change recolours
// them with the rest.
void CursesView::copy_changes(const ScreenBuffer& console) {
    std::array<cchar_t, CONSOLE_COLS> cells{};
    for (int y = 0; y < CONSOLE_LINES; ++y) {
        const std::u32string_view now = console.line(y);
        char32_t* const was = in_pad_.data() + static_cast<std::ptrdiff_t>(y) * CONSOLE_COLS;
        const auto differs = [&](int x) { return now[static_cast<std::size_t>(x)] != was[x]; };
        int first = 0;
        while (first < CONSOLE_COLS && !differs(first)) ++first;
        if (first == CONSOLE_COLS) continue;
        int end = CONSOLE_COLS;
        while (!differs(end - 1)) --end;
        for (int x = first; x < end; ++x) {
            const wchar_t text[2] = {static_cast<wchar_t>(now[static_cast<std::size_t>(x)]), L'\0'};
            setcchar(&cells[static_cast<std::size_t>(x - first)], text, colours_.attributes, colours_.pair, nullptr);
            was[x] = now[static_cast<std::size_t>(x)];
        }
        mvwadd_wchnstr(pad_, y, first, cells.data(), end - first);
        changed_[static_cast<std::size_t>(y)] = true;
    }
}

}  // namespace skarvel
