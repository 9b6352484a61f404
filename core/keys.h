// Keys as the screens compare them: as upper-case letters.
#pragma once

#include <optional>
#include <string_view>

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

// Reads keys until one stands for one of `letters`, and gives that letter.
inline char wait_for_letter(Terminal& term, std::string_view letters) {
    for (;;) {
        const char letter = read_letter(term);
        if (letter != NO_LETTER && letters.find(letter) != std::string_view::npos) return letter;
    }
}

// The letters that move the player in a game and the marker on the level
// screen: W A S D, and the arrows' letters.
enum class Direction { up, down, left, right };
struct DirectionLetter {
    char letter;
    Direction direction;
};
constexpr DirectionLetter DIRECTION_LETTERS[] = {
    {'W', Direction::up},   {'H', Direction::up},   {'S', Direction::down},  {'P', Direction::down},
    {'A', Direction::left}, {'K', Direction::left}, {'D', Direction::right}, {'M', Direction::right},
};

// The direction an upper-case letter moves in, if any.
constexpr std::optional<Direction> direction_of(char letter) {
    for (const DirectionLetter& d : DIRECTION_LETTERS) {
        if (d.letter == letter) return d.direction;
    }
    return std::nullopt;
}

}  // namespace skarvel
