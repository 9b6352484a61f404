// Editing a typed line: what is typed is echoed into the console, Backspace
// takes it back, and Enter ends the line.
#pragma once

#include <string>

#include "console/screen_buffer.h"

namespace skarvel {

class LineEditor {
public:
    // Echoes into `console` and collects into `line`.
    LineEditor(ScreenBuffer& console, std::string& line) : console_(console), line_(line) {}

    enum class State { editing, ended, end_of_input };

    // Takes one curses key code. The line ends with Enter, its '\n' added
    // and echoed as a line end; Ctrl-D on an empty line ends the input.
    State take(int code);

private:
    void erase_last();

    ScreenBuffer& console_;  // where the line is echoed
    std::string& line_;      // the bytes typed so far
};

}  // namespace skarvel
