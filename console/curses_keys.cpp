#include "console/curses_keys.h"

#include <curses.h>

namespace skarvel {

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

}  // namespace skarvel
