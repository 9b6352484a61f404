// Key codes from the terminal, an escape sequence at a time: curses gives
// the keys its terminal description names; a sequence it does not name is
// read whole here, so that none of its bytes acts as a key of its own.
#pragma once

#include <curses.h>

#include <optional>

namespace skarvel {

// What read() gives for an escape sequence that no key is named for. Above
// every byte and no key curses names, so it is a key without a character.
constexpr int UNNAMED_SEQUENCE = KEY_MAX + 0x1000;

class CursesKeyReader {
public:
    // Reads on `pad`, whose keypad is on; names the numpad's keys (see
    // name_keypad_keys).
    explicit CursesKeyReader(WINDOW* pad);

    // Waits for the next key code: a curses code, UNNAMED_SEQUENCE, or ERR
    // where the read failed (a signal came, the terminal went away). A lone
    // Esc, with nothing after it for the escape delay, is the byte 27.
    int read();

    // True when a key is waiting to be read: it was typed before this call.
    bool key_waiting();

private:
    int read_within(int ms);  // the next code, ERR after `ms` milliseconds (-1: no limit)
    int read_sequence();      // the rest of a sequence begun by ESC and '[' or 'O'

    WINDOW* pad_;                 // the console, where keys are read
    std::optional<int> pending_;  // a code read past what read() gave, given next
};

}  // namespace skarvel
