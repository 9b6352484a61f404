// The 150x40 console as the game sees it, and its one copy: a grid of
// characters and a cursor, filled byte by byte with the console's rules for
// control bytes, glyph bytes and text. It notes which part of each line
// changed since the last show, so that only that reaches the terminal; it
// knows nothing of curses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "console/terminal.h"

namespace skarvel {

// The ASCII delete byte: a picture on the console, Backspace from a keyboard.
constexpr unsigned char DEL = 127;

class ScreenBuffer {
public:
    // `utf8`: bytes above 127 are UTF-8 and glyph bytes show their
    // code-page-437 pictures; otherwise each byte above 127 is one character
    // of the locale and glyph bytes show plain ASCII stand-ins.
    explicit ScreenBuffer(bool utf8);

    // One byte of console output:
    //   7 notes a bell (see take_bell), 8 one column left (not past column 0),
    //   9 blanks to the next 8-column stop, 10 the start of the next line;
    //   other bytes below 32 and 127 show a picture or stand-in, 32..126 as
    //   themselves, bytes above 127 as text of the locale. Any character that
    //   cannot show in one column shows as U+FFFD (without UTF-8, '?').
    // A character in the last column moves the cursor to the next line; past
    // the last line everything scrolls up one line. Gives the number of cells
    // the byte filled: 0, 1, or 2 when it broke off an unfinished UTF-8
    // character and showed itself too.
    int put(unsigned char byte);
    void write(std::string_view bytes) {
        for (const char c : bytes) put(static_cast<unsigned char>(c));
    }

    // True while a UTF-8 character is unfinished: the bytes put so far show nothing yet.
    bool character_unfinished() const { return needed_ > 0; }

    // All blanks, cursor home; an unfinished UTF-8 character, the mark, the
    // status line and the lines scrolled off the top forgotten.
    void clear();

    // Takes the last typed character off the screen: an unfinished one is
    // forgotten, else the cell before the cursor (at column 0, the last cell
    // of the line above) is blanked and the cursor put on it.
    void erase_back();

    // The cells of a line, one character each.
    std::u32string_view line(int row) const {
        return {cells_.data() + static_cast<std::ptrdiff_t>(row) * CONSOLE_COLS, CONSOLE_COLS};
    }
    // Where the next character goes.
    Position cursor() const { return {row_, col_}; }

    // The lines scrolled off the top since the last clear, the last
    // HISTORY_LINES of them; line -1 is the one scrolled off last.
    static constexpr int HISTORY_LINES = 200;
    int history_lines() const { return history_count_; }
    std::u32string_view history_line(int row) const;

    // A cell marked at the cursor, kept apart from the cursor as the writing
    // goes on, and moved with the text when the console scrolls.
    void mark() { mark_ = cursor(); }
    void clear_mark() { mark_.reset(); }
    std::optional<Position> marked() const { return mark_; }

    // A line of the game's own beside the console, for a terminal too small
    // to show all of it: its bytes shown one cell each as the console shows
    // them. Kept until the next clear.
    void set_status(std::string_view bytes);
    std::optional<std::u32string_view> status() const;

    // What changed since forget_changes: line `row` from its first cell up
    // to column changed_to(row) (0 for none), and the status line.
    int changed_to(int row) const { return changed_to_[static_cast<std::size_t>(row)]; }
    bool lines_changed() const;
    bool status_changed() const { return status_changed_; }
    void forget_changes();

    // True once after a bell has been written.
    bool take_bell() {
        const bool bell = bell_;
        bell_ = false;
        return bell;
    }

private:
    void put_byte(unsigned char b);
    void new_line();
    void keep_in_history(std::u32string_view top);
    void put_cell(char32_t c);                         // at the cursor, which moves on
    void put_utf8(unsigned char b);                    // a byte above 127 in UTF-8 mode
    void end_sequence();                               // an unfinished UTF-8 character shows broken
    char32_t picture_of(unsigned char control) const;  // a control byte's look
    void note_change(int row, int end);

    bool utf8_;                                    // UTF-8 and pictures, or plain stand-ins
    std::array<char32_t, CONSOLE_CELLS> cells_{};  // the console, line by line
    int row_ = 0;                                  // the cursor's line
    int col_ = 0;                                  // the cursor's column
    int cells_put_ = 0;                            // cells filled so far, for put's count
    bool bell_ = false;                            // a bell written and not yet rung
    std::optional<Position> mark_;                 // the marked cell, if any
    // Per line: every cell from this column on is blank; and the column up
    // to which it changed since forget_changes.
    std::array<std::uint8_t, CONSOLE_LINES> text_to_{};
    std::array<std::uint8_t, CONSOLE_LINES> changed_to_{};
    std::array<char32_t, CONSOLE_COLS> status_{};  // the status line's cells
    bool has_status_ = false;
    bool status_changed_ = false;
    // A ring of the lines scrolled off, made at the first: a game's screens
    // never scroll, so nothing is allocated while a game runs.
    std::vector<char32_t> history_;
    int history_first_ = 0;  // the ring's slot of the oldest line
    int history_count_ = 0;  // lines in the ring
    // The UTF-8 character being assembled: its bits so far, the continuation
    // bytes it still needs, and the range the next one must be in.
    char32_t partial_ = 0;
    int needed_ = 0;
    unsigned char lowest_ = 0x80;
    unsigned char highest_ = 0xBF;
};

}  // namespace skarvel
