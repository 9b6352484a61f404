#include "console/curses_keys.h"

#include <poll.h>

#include <cstdint>
#include <utility>

namespace skarvel {

namespace {

constexpr int ESC = 27;

// The bytes of a control sequence after its introducer: parameter (0x30-0x3F)
// and intermediate (0x20-0x2F) bytes, then one final byte (0x40-0x7E).
constexpr bool continues_sequence(int code) { return code >= 0x20 && code <= 0x3F; }
constexpr bool ends_sequence(int code) { return code >= 0x40 && code <= 0x7E; }

// A key's sequence and the code curses is to give for it.
struct NamedSequence {
    const char* bytes;
    int code;
};

// What a terminal sends for these keys with the application keypad on (the
// numpad) and in either cursor mode (the arrows).
constexpr NamedSequence KEYPAD_SEQUENCES[] = {
    {"\033Ox", KEY_UP},    {"\033Or", KEY_DOWN},
    {"\033Ot", KEY_LEFT},  {"\033Ov", KEY_RIGHT},  // numpad 8, 2, 4, 6
    {"\033OM", KEY_ENTER},                         // numpad Enter
    {"\033OA", KEY_UP},    {"\033OB", KEY_DOWN},
    {"\033OD", KEY_LEFT},  {"\033OC", KEY_RIGHT},  // application cursor mode
    {"\033[A", KEY_UP},    {"\033[B", KEY_DOWN},
    {"\033[D", KEY_LEFT},  {"\033[C", KEY_RIGHT},  // normal cursor mode
};

// The numpad's 8, 2, 4 and 6 as terminal descriptions name them.
constexpr NamedSequence NUMPAD_CAPABILITIES[] = {
    {"ka2", KEY_UP}, {"kc2", KEY_DOWN}, {"kb1", KEY_LEFT}, {"kb3", KEY_RIGHT}};

}  // namespace

CursesKeyReader::CursesKeyReader(int fd) : fd_(fd) {
    for (const auto& numpad : NUMPAD_CAPABILITIES) {
        const char* bytes = tigetstr(numpad.bytes);
        // (char*)-1 stands for a name that is no string capability.
        const bool named = bytes != nullptr && reinterpret_cast<std::intptr_t>(bytes) != -1;
        if (named) (void)define_key(bytes, numpad.code);
    }
    for (const NamedSequence& s : KEYPAD_SEQUENCES) (void)define_key(s.bytes, s.code);
}

int CursesKeyReader::read() {
    const int first = pending_ ? *std::exchange(pending_, std::nullopt) : wait_for_key();
    if (first != ESC) return first;
    const int second = read_within(get_escdelay());
    if (second == '[' || second == 'O') return read_sequence();
    if (second != ERR) pending_ = second;  // Esc, then another key
    return ESC;
}

int CursesKeyReader::read_sequence() {
    for (;;) {
        const int code = read_within(get_escdelay());
        if (continues_sequence(code)) continue;
        // Another key breaks the sequence off and is the next key.
        if (code != ERR && !ends_sequence(code)) pending_ = code;
        return UNNAMED_SEQUENCE;
    }
}

bool CursesKeyReader::key_waiting() {
    if (!pending_) {
        const int code = read_within(0);
        if (code != ERR) pending_ = code;
        none_queued_ = code == ERR;
    }
    return pending_.has_value();
}

// The wait is a poll of our own, which any signal cuts short; curses reads
// only once there is something to read, so that no signal ever cuts its read
// short (which leaves a failure queued in curses). Keys curses has read ahead
// are taken first.
int CursesKeyReader::wait_for_key() {
    if (!std::exchange(none_queued_, false)) {
        const int queued = read_within(0);
        if (queued != ERR) return queued;
    }
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, -1) < 0) return ERR;  // a signal came
    const int code = read_within(-1);
    gone_ = code == ERR;  // readable, yet nothing to read: the terminal has gone
    return code;
}

int CursesKeyReader::read_within(int ms) {
    if (ms >= 0) wtimeout(stdscr, ms);
    const int code = wgetch(stdscr);
    if (ms >= 0) wtimeout(stdscr, -1);
    return code;
}

Key key_of(int curses_code) {
    if (curses_code >= 0 && curses_code <= 255) return Key::of(static_cast<unsigned char>(curses_code));
    switch (curses_code) {
        case KEY_UP: return Key{Key::Kind::up};
        case KEY_DOWN: return Key{Key::Kind::down};
        case KEY_LEFT: return Key{Key::Kind::left};
        case KEY_RIGHT: return Key{Key::Kind::right};
        default: return Key{Key::Kind::other};
    }
}

}  // namespace skarvel
