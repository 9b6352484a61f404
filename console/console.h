// The 150x40 console the game writes to: a grid of characters and a cursor,
// filled byte by byte as the original console did. It records which cells
// changed since the last refresh, so that only those reach the terminal. It
// knows nothing of curses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "console/terminal.h"

namespace skarvel {

// The ASCII delete byte: a picture on the console, Backspace from a keyboard.
constexpr unsigned char DEL = 127;

class Console {
public:
    // With `utf8`, bytes above 127 are UTF-8 and control bytes show their
    // code-page-437 pictures; otherwise each byte above 127 is a character of
    // the locale and control bytes show as `stand_ins` ('?' for 0, and DEL).
    explicit Console(bool utf8, const StandIns& stand_ins = {});

    // One byte of output: 7 rings the bell (see consume_bell), 8 moves one
    // column left (not past column 0), 9 blanks to the next tab stop, 10
    // starts the next row; other control bytes show a picture or stand-in.
    // A character not exactly one column wide shows as U+FFFD ('?' without
    // UTF-8). Writing the last column moves the cursor to the next row; past
    // the last row everything scrolls up one row. Returns the cells filled:
    // 0, 1, or 2 when the byte also ended an unfinished character as broken.
    int put(unsigned char byte);
    void write(std::string_view bytes) {
        for (const char c : bytes) put(static_cast<unsigned char>(c));
    }

    // True while a UTF-8 character is unfinished: its bytes so far show nothing yet.
    bool character_unfinished() const { return needed_ > 0; }

    // All blanks, cursor home; an unfinished character, the mark, the status
    // line and the scroll-back are dropped.
    void clear();
    // Drops an unfinished character, or else blanks the cell before the
    // cursor (at column 0, the last of the row above) and moves onto it.
    void erase_back();

    std::u32string_view line(int row) const {
        blank_old_text(row);
        return {cells_.data() + static_cast<std::ptrdiff_t>(row) * CONSOLE_COLS, CONSOLE_COLS};
    }
    Position cursor() const { return {row_, col_}; }  // where the next character goes

    // The last HISTORY_ROWS rows scrolled off the top since the last clear;
    // row -1 is the one scrolled off last.
    static constexpr int HISTORY_ROWS = 200;
    int history_rows() const { return static_cast<int>(history_.size()); }
    std::u32string_view history_line(int row) const {
        const auto& line = history_[history_.size() - static_cast<std::size_t>(-row)];
        return {line.data(), line.size()};
    }

    // A cell marked at the cursor, which stays as writing goes on and moves
    // with the text when the console scrolls.
    void mark() { mark_ = cursor(); }
    void clear_mark() { mark_.reset(); }
    std::optional<Position> marked() const { return mark_; }

    // The status line (see Terminal::set_status), each byte one cell; kept
    // until the next clear. status() gives the longest form no wider than
    // `cols`, else the shortest.
    void set_status(std::span<const std::string_view> forms);
    bool has_status() const { return status_forms_ > 0; }
    std::u32string_view status(int cols) const;

    // The columns of a row that differ from what they were at forget_changes
    // (none where `first` is not less than `end`).
    struct ColSpan {
        int first = CONSOLE_COLS;
        int end = 0;  // one past the last
    };
    ColSpan changed(int row) const;
    bool lines_changed() const;
    bool status_changed() const { return status_changed_; }
    void forget_changes();

    // True once after a bell has been written.
    bool consume_bell() { return std::exchange(bell_, false); }

private:
    void put_byte(unsigned char b);
    void put_multibyte(unsigned char b);
    void end_character();       // an unfinished character shows broken
    void put_cell(char32_t c);  // at the cursor, which moves on
    void new_line();
    void set_cell(Position at, char32_t c) const;  // recording the change
    void blank_old_text(int row) const;
    char32_t picture_of(unsigned char control) const;
    char32_t broken() const { return utf8_ ? U'\uFFFD' : U'?'; }
    char32_t shown_as(char32_t c) const;  // `c`, or broken() where not one column wide

    using Line = std::array<char32_t, CONSOLE_COLS>;
    bool utf8_;
    StandIns stand_ins_;
    // The cells, row by row. A clear leaves the old text in place, to be
    // compared with what the next screen writes over it; what is not written
    // over is blanked when the row is read (so the const readers change it).
    mutable std::array<char32_t, CONSOLE_CELLS> cells_{};
    int row_ = 0;  // the cursor
    int col_ = 0;
    int cells_put_ = 0;  // cells filled so far, for put's count
    bool bell_ = false;  // a bell written and not yet rung
    std::optional<Position> mark_;
    // Per row: where the text written since the last clear ends, where the
    // old text before the clear ends (still to be blanked), and the columns
    // changed since forget_changes.
    std::array<std::uint8_t, CONSOLE_ROWS> written_end_{};
    mutable std::array<std::uint8_t, CONSOLE_ROWS> old_text_end_{};
    mutable std::array<ColSpan, CONSOLE_ROWS> changed_{};
    // The status line's forms, one after the other, and where each ends.
    std::array<char32_t, Terminal::MAX_STATUS_FORMS * CONSOLE_COLS> status_{};
    std::array<std::size_t, Terminal::MAX_STATUS_FORMS> status_ends_{};
    std::size_t status_forms_ = 0;  // 0: no status line
    bool status_changed_ = false;
    std::deque<Line> history_;  // a game's screens never scroll: nothing allocated in a game
    // The UTF-8 character being read: its bits so far, the continuation
    // bytes it still needs, and the range the next one must be in.
    char32_t partial_ = 0;
    int needed_ = 0;
    unsigned char lowest_ = 0x80;
    unsigned char highest_ = 0xBF;
};

}  // namespace skarvel
