#include "console/curses_view.h"

#include <algorithm>

namespace skarvel {

int follow_cursor(int origin, int cursor, int shown, int size) {
    if (cursor < origin) {
        origin = cursor;
    } else if (cursor >= origin + shown) {
        origin = cursor - shown + 1;
    }
    return std::clamp(origin, 0, std::max(0, size - shown));
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
    copy_changes(console);
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    rows = std::clamp(rows, 1, CONSOLE_LINES);
    cols = std::clamp(cols, 1, CONSOLE_COLS);
    top_ = follow_cursor(top_, console.row(), rows, CONSOLE_LINES);
    left_ = follow_cursor(left_, console.col(), cols, CONSOLE_COLS);
    const Area area{top_, left_, rows, cols};
    const Cursor cursor{console.row(), console.col()};
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
// them with the rest. Then the pad's cursor goes where the console's is.
void CursesView::copy_changes(const ScreenBuffer& console) {
    std::array<cchar_t, CONSOLE_COLS> cells;
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
    wmove(pad_, console.row(), console.col());
}

}  // namespace skarvel
