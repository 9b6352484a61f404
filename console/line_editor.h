// Editing a typed line: what is typed is echoed into the console, Backspace
// takes back the last character shown, and Enter ends the line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "console/screen_buffer.h"

namespace skarvel {

class LineEditor {
public:
    // Echoes into `console` and collects into `line`.
    LineEditor(ScreenBuffer& console, std::string& line) : console_(console), line_(line) {}

    // Takes one curses key code; true once Enter has ended the line, its
    // '\n' added and echoed as a line end. Control keys other than Enter and
    // Backspace, and keys without a character, are ignored.
    bool take(int code);

private:
    void type(unsigned char byte);
    void erase_last();

    ScreenBuffer& console_;  // where the line is echoed
    std::string& line_;      // the bytes typed so far
    // Where in the line each character shown began, so that Backspace takes
    // off the screen and off the line the same character: a whole UTF-8
    // character, or the one stand-in for a byte that is none.
    std::vector<std::size_t> shown_;
    std::size_t unfinished_ = 0;  // where an unfinished UTF-8 character began
};

}  // namespace skarvel
