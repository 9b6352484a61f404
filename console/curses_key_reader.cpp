#include "console/curses_key_reader.h"

#include <utility>

#include "console/curses_keys.h"

namespace skarvel {

namespace {

constexpr int ESC = 27;

// The bytes of a control sequence after its introducer: parameter (0x30-0x3F)
// and intermediate (0x20-0x2F) bytes, then one final byte (0x40-0x7E).
constexpr bool in_sequence(int code) { return code >= 0x20 && code <= 0x3F; }
constexpr bool ends_sequence(int code) { return code >= 0x40 && code <= 0x7E; }

}  // namespace

CursesKeyReader::CursesKeyReader(WINDOW* pad) : pad_(pad) { name_keypad_keys(); }

int CursesKeyReader::read() {
    const int first = pending_ ? *std::exchange(pending_, std::nullopt) : read_within(-1);
    if (first != ESC) return first;
    const int second = read_within(get_escdelay());
    if (second == '[' || second == 'O') return read_sequence();
    if (second != ERR) pending_ = second;  // Esc, then another key
    return ESC;
}

int CursesKeyReader::read_sequence() {
    for (;;) {
        const int code = read_within(get_escdelay());
        if (in_sequence(code)) continue;
        // Another key breaks the sequence off and is the next key.
        if (code != ERR && !ends_sequence(code)) pending_ = code;
        return UNNAMED_SEQUENCE;
    }
}

bool CursesKeyReader::key_waiting() {
    if (!pending_) {
        const int code = read_within(0);
        if (code != ERR) pending_ = code;
    }
    return pending_.has_value();
}

int CursesKeyReader::read_within(int ms) {
    if (ms >= 0) wtimeout(pad_, ms);
    const int code = wgetch(pad_);
    if (ms >= 0) wtimeout(pad_, -1);
    return code;
}

}  // namespace skarvel
