#include "console/curses_keys.h"

#include <curses.h>

#include <cstdint>

namespace skarvel {

namespace {

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
constexpr struct {
    const char* capability;
    int code;
} NUMPAD_CAPABILITIES[] = {{"ka2", KEY_UP}, {"kc2", KEY_DOWN}, {"kb1", KEY_LEFT}, {"kb3", KEY_RIGHT}};

}  // namespace

std::optional<Key> key_of(int curses_code) {
    if (curses_code >= 0 && curses_code <= 255) return Key::of(static_cast<unsigned char>(curses_code));
    switch (curses_code) {
        case KEY_UP: return Key{Key::Kind::up};
        case KEY_DOWN: return Key{Key::Kind::down};
        case KEY_LEFT: return Key{Key::Kind::left};
        case KEY_RIGHT: return Key{Key::Kind::right};
        case KEY_RESIZE: return std::nullopt;
        default: return curses_code < 0 ? std::nullopt : std::optional(Key{Key::Kind::other});
    }
}

void name_keypad_keys() {
    for (const auto& numpad : NUMPAD_CAPABILITIES) {
        const char* bytes = tigetstr(numpad.capability);
        // (char*)-1 stands for a name that is no string capability.
        const bool named = bytes != nullptr && reinterpret_cast<std::intptr_t>(bytes) != -1;
        if (named) (void)define_key(bytes, numpad.code);
    }
    for (const NamedSequence& s : KEYPAD_SEQUENCES) (void)define_key(s.bytes, s.code);
}

}  // namespace skarvel
