// Editing a typed line: what is typed is echoed into the console, Backspace
// erases the last character shown (a whole tab), and Enter ends the line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "console/console.h"

namespace skarvel {

class LineEditor {
public:
    // Echoes into `console` and collects into `line`.
    LineEditor(Console& console, std::string& line) : console_(console), line_(line) {}

    // Handles one curses key code; true once Enter has ended the line, its
    // '\n' added and echoed as a line end. A Tab is kept and echoed as the
    // blanks to the next tab stop. Control keys other than Enter, Tab and
    // Backspace, and keys without a character, are ignored.
    bool handle_key(int code);

private:
    void type(unsigned char byte);
    void erase_last();

    Console& console_;   // where the line is echoed
    std::string& line_;  // the bytes typed so far
    // Each character shown, so that Backspace erases the same character from
    // the screen and from the line: a whole UTF-8 character, the one stand-in
    // for a byte that is none, or a tab's blanks.
    struct Shown {
        std::size_t at;  // where in the line it began
        int cells;       // the cells it filled
    };
    std::vector<Shown> shown_;
    std::size_t unfinished_ = 0;  // where an unfinished UTF-8 character began
};

}  // namespace skarvel
