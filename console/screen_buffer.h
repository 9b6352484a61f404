// The 150x40 console as the game sees it, and its one copy: a grid of
// characters and a cursor, filled byte by byte with the console's rules. It
// notes which cells changed since the last show, so that only those reach
// the terminal; it knows nothing of curses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>

#include "console/terminal.h"

namespace skarvel {

// The ASCII delete byte: a picture on the console, Backspace from a keyboard.
constexpr unsigned char DEL = 127;

class ScreenBuffer {
public:
    // `utf8`: bytes above 127 are UTF-8 and glyph bytes show their
    // code-page-437 pictures; otherwise each byte above 127 is a character
    // of the locale and glyph bytes show plain ASCII stand-ins.
    explicit ScreenBuffer(bool utf8);

    // One byte of console output: 7 notes a bell (see take_bell), 8 moves one
    // column left (not past column 0), 9 blanks to the next 8-column stop, 10
    // starts the next line; other bytes below 32 and 127 show a picture or
    // stand-in, 32..126 themselves, bytes above 127 the locale's characters.
    // A character that cannot show in one column shows as U+FFFD ('?'
    // without UTF-8). A character in the last column moves the cursor to the
    // next line; past the last line everything scrolls up one line. Gives the
    // cells the byte filled: 0, 1, or 2 when it broke off an unfinished
    // character and showed itself too.
    int put(unsigned char byte);
    void write(std::string_view bytes) {
        for (const char c : bytes) put(static_cast<unsigned char>(c));
    }

    // True while a UTF-8 character is unfinished: its bytes so far show nothing yet.
    bool character_unfinished() const { return needed_ > 0; }

    // All blanks, cursor home; an unfinished character, the mark, the status
    // line and the lines scrolled off the top forgotten.
    void clear();

    // Takes the last typed character off the screen: an unfinished one is
    // forgotten, else the cell before the cursor (at column 0, the last cell
    // of the line above) is blanked and the cursor put on it.
    void erase_back();

    std::u32string_view line(int row) const {
        settle(row);
        return {cells_.data() + static_cast<std::ptrdiff_t>(row) * CONSOLE_COLS, CONSOLE_COLS};
    }
    Position cursor() const { return {row_, col_}; }  // where the next character goes

    // The last HISTORY_LINES lines scrolled off the top since the last clear;
    // line -1 is the one scrolled off last.
    static constexpr int HISTORY_LINES = 200;
    int history_lines() const { return static_cast<int>(history_.size()); }
    std::u32string_view history_line(int row) const {
        const auto& line = history_[history_.size() - static_cast<std::size_t>(-row)];
        return {line.data(), line.size()};
    }

    // A cell marked at the cursor, kept apart from the cursor as the writing
    // goes on, and moved with the text when the console scrolls.
    void mark() { mark_ = cursor(); }
    void clear_mark() { mark_.reset(); }
    std::optional<Position> marked() const { return mark_; }

    // A line of the game's own beside the console, for a terminal too small
    // to show all of it, in forms from the longest to the shortest (see
    // Terminal::set_status), their bytes shown a cell each; kept until the
    // next clear.
    void set_status(std::span<const std::string_view> forms);
    bool has_status() const { return status_forms_ > 0; }
    // The longest form no wider than `cols`, else the shortest; empty without a status.
    std::u32string_view status(int cols) const;

    // The cells of a line that differ from what they were at forget_changes:
    // columns `from` to `to` (none where `from` is not less), and whether any
    // line or the status line does.
    struct Changed {
        int from = CONSOLE_COLS;
        int to = 0;
    };
    Changed changed(int row) const;
    bool lines_changed() const;
    bool status_changed() const { return status_changed_; }
    void forget_changes();

    // True once after a bell has been written.
    bool take_bell() { return std::exchange(bell_, false); }

private:
    void put_byte(unsigned char b);
    void put_multibyte(unsigned char b);
    void end_character();       // an unfinished character shows broken
    void put_cell(char32_t c);  // at the cursor, which moves on
    void new_line();
    void set_cell(Position at, char32_t c) const;  // noting the change
    void settle(int row) const;
    char32_t picture_of(unsigned char control) const;
    char32_t broken() const { return utf8_ ? U'\uFFFD' : U'?'; }  // a character that cannot show
    char32_t shown_as(char32_t c) const;                          // `c`, or broken() where it does not take one column

    using Line = std::array<char32_t, CONSOLE_COLS>;
    bool utf8_;  // pictures, or plain stand-ins
    // The console, line by line. A line is settled as it is read: the text
    // before a clear stays until then, so that a screen drawn again the same
    // changes nothing (const, hence mutable).
    mutable std::array<char32_t, CONSOLE_CELLS> cells_{};
    int row_ = 0;                   // the cursor's line
    int col_ = 0;                   // the cursor's column
    int cells_put_ = 0;             // cells filled so far, for put's count
    bool bell_ = false;             // a bell written and not yet rung
    std::optional<Position> mark_;  // the marked cell, if any
    // Per line: the cells written since the last clear end here; from here
    // up to stale_to_ the text before it stays until the line is settled;
    // and what changed since forget_changes.
    std::array<std::uint8_t, CONSOLE_LINES> text_to_{};
    mutable std::array<std::uint8_t, CONSOLE_LINES> stale_to_{};
    mutable std::array<Changed, CONSOLE_LINES> changed_{};
    // The status line's forms, one after the other, and where each ends.
    std::array<char32_t, Terminal::MAX_STATUS_FORMS * CONSOLE_COLS> status_{};
    std::array<std::size_t, Terminal::MAX_STATUS_FORMS> status_ends_{};
    std::size_t status_forms_ = 0;  // 0: no status line
    bool status_changed_ = false;
    // The lines scrolled off; a game's screens never scroll, so nothing is
    // allocated while a game runs.
    std::deque<Line> history_;
    // The UTF-8 character being assembled: its bits so far, the continuation
    // bytes it still needs, and the range the next one must be in.
    char32_t partial_ = 0;
    int needed_ = 0;
    unsigned char lowest_ = 0x80;
    unsigned char highest_ = 0xBF;
};

}  // namespace skarvel
