// Keys as the screens compare them: as upper-case letters.
#pragma once

#include "console/terminal.h"

namespace skarvel {

// What a key without a letter gives; no screen knows it.
constexpr char NO_LETTER = '\0';

// Upper-cases a typed byte as the screens do, whatever the locale: only
// 'a'..'z' change.
constexpr char upper(unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }

// The console this game was made for sent an arrow key as a prefix byte,
// which no screen knows, and then a letter, and every screen read one byte at
// a time. So everywhere an arrow acts as its letter: up opens Help on the
// main menu and down starts a game; in a game, and on the level screen, the
// letters move as the arrows do. Other keys without a character mean nothing.
struct ArrowLetter {
    Key::Kind arrow;
    char letter;
};
constexpr ArrowLetter ARROW_LETTERS[] = {
    {Key::Kind::up, 'H'},
    {Key::Kind::down, 'P'},
    {Key::Kind::left, 'K'},
    {Key::Kind::right, 'M'},
};

// The letter a key stands for, upper-cased; NO_LETTER for none.
constexpr char letter_of(Key key) {
    if (key.kind == Key::Kind::character) return upper(key.character);
    for (const ArrowLetter& a : ARROW_LETTERS) {
        if (a.arrow == key.kind) return a.letter;
    }
    return NO_LETTER;
}

// Waits for a key and gives the letter it stands for.
inline char read_letter(Terminal& term) { return letter_of(term.read_key()); }

}  // namespace skarvel
