// Keys from the terminal: curses key codes, read an escape sequence at a
// time, and the game's keys they stand for.
#pragma once

#include <curses.h>

#include <optional>

#include "console/terminal.h"

namespace skarvel {

// What CursesKeyReader::read gives for an escape sequence that no key is
// named for. Above every byte and every key curses names, so it is a key
// without a character.
constexpr int UNNAMED_SEQUENCE = KEY_MAX + 0x1000;

// Reads key codes on the standard screen, whose keypad is on. curses gives
// the keys its terminal description names; a sequence it does not name is
// read whole here, so that none of its bytes acts as a key of its own.
class CursesKeyReader {
public:
    // Reads what is typed on `fd`. Names the numpad's 8, 2, 4 and 6 as the
    // arrows and its Enter as Enter on the current screen, however the
    // terminal description names them (or does not); the arrows' own
    // sequences too, in either cursor mode.
    explicit CursesKeyReader(int fd);

    // Waits for the next key code: a curses code, UNNAMED_SEQUENCE, or ERR
    // where a signal cut the wait short or the terminal has gone. A lone
    // Esc, with nothing after it for the escape delay, is the byte 27.
    int read();

    // True when a key is waiting to be read: it was typed before this call.
    bool key_waiting();

    // True once the terminal has gone: it can be read, but gives nothing.
    bool terminal_gone() const { return gone_; }

private:
    int wait_for_key();       // the next code once there is one, ERR if a signal came first
    int read_within(int ms);  // the next code, ERR after `ms` milliseconds (-1: no limit)
    int read_sequence();      // the rest of a sequence begun by ESC and '[' or 'O'

    int fd_;                      // the terminal read from
    std::optional<int> pending_;  // a code read past what read() gave, given next
    bool none_queued_ = false;    // curses was found to hold no key, and none has been read since
    bool gone_ = false;           // the terminal has gone
};

// The key for a curses key code: the byte itself for 0..255, the arrows by
// name, Key::Kind::other for any other key without a character.
Key key_of(int curses_code);

}  // namespace skarvel
