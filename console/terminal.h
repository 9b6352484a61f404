// The seam between the game and its console. Everything the game does to the
// console goes through a Terminal: the ncursesw backend drives a real
// terminal, and the scripted one in the tests records every call against a
// virtual clock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace skarvel {

// The console is 150 columns by 40 lines; a tab moves to the next of every
// eight columns.
constexpr int CONSOLE_COLS = 150;
constexpr int CONSOLE_ROWS = 40;
constexpr std::size_t CONSOLE_CELLS = std::size_t{CONSOLE_COLS} * CONSOLE_ROWS;
constexpr int TAB_WIDTH = 8;

// A place on a grid: on the console, or on the game's field.
struct Position {
    int row = 0;
    int col = 0;
    bool operator==(const Position&) const = default;
};

// The console's sixteen colours, numbered by the bits of a colour digit:
// 1 blue, 2 green, 4 red, 8 bright.
// clang-format off
enum class ConsoleColour : unsigned char {
    black, blue,       green,       cyan,       red,       purple,       yellow,       white,
    grey,  light_blue, light_green, light_cyan, light_red, light_purple, light_yellow, bright_white,
};
// clang-format on

// The colours of the whole console.
struct Colours {
    ConsoleColour background;
    ConsoleColour foreground;
    bool operator==(const Colours&) const = default;
};

// What each byte below 32 shows as where the terminal cannot show the
// console's pictures (a locale without UTF-8): ASCII the game chooses.
using StandIns = std::array<char, 32>;

// One key press: a character, an arrow, or another key without a character
// (Home, PageDown, a function key...).
struct Key {
    enum class Kind : unsigned char { character, up, down, left, right, other };
    Kind kind = Kind::character;
    unsigned char character = 0;  // the byte typed, for Kind::character

    static constexpr Key of(unsigned char c) { return {Kind::character, c}; }
    bool operator==(const Key&) const = default;
};

// Thrown by a terminal when the run has to end at once: the terminal has
// gone, an end signal came (Ctrl-C, SIGTERM...), or curses had no memory for
// the window's new size. Caught only by main, so the terminal is restored by
// the ordinary unwinding of its owner.
struct RunEnded {
    enum class Cause { terminal_gone, signal, out_of_memory };
    Cause cause = Cause::terminal_gone;
    int signal = 0;  // with Cause::signal, which one
};

// Calendar time in whole seconds, which the spawners reseed from: a real
// clock on a terminal, a virtual one in the tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t seconds() = 0;
};

class Terminal : public Clock {
public:
    // Console output: bytes as the game's printf sends them. They show at
    // the next clear, colour change, key read or sleep.
    virtual void write(std::string_view bytes) = 0;
    // Clears the console in its current colours and puts the cursor home.
    virtual void clear_screen() = 0;
    // Gives the whole console these colours at once, text already shown included.
    virtual void set_colours(Colours colours) = 0;
    // The same for a moment: a flash, which the next set_colours ends.
    virtual void flash_colours(Colours colours) = 0;
    // Makes the console window 150x40, as far as the terminal allows.
    virtual void size_window() = 0;
    // Marks the write position as the cell the cursor rests on while a key is
    // awaited, kept in sight; text goes on from the write position. The next
    // clear_screen or unmark_cursor drops the mark.
    virtual void mark_cursor() = 0;
    virtual void unmark_cursor() = 0;
    // The game's counters in one line, for a terminal too small to show the
    // whole console: no part of the console, kept until the next clear_screen.
    // `forms` says the same from the longest to the shortest (at most
    // MAX_STATUS_FORMS): the terminal shows the longest that fits its width.
    static constexpr std::size_t MAX_STATUS_FORMS = 4;
    virtual void set_status(std::span<const std::string_view> forms) = 0;
    // Waits for one key press, without echo.
    virtual Key read_key() = 0;
    // Waits `ms` milliseconds.
    virtual void sleep_ms(std::uint32_t ms) = 0;
    // Reads one typed line (echoed, editable, ended by Enter) and appends it
    // to `line`, its '\n' included; false at the end of input.
    virtual bool read_line(std::string& line) = 0;

    // The game's texts are printf formats; the compiler checks every call. A
    // text is cut at 511 bytes (the game's longest line is far shorter)
    // rather than allocated for: nothing is allocated while a game runs.
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));  // NOLINT(cert-dcl50-cpp)
    void putchar(char c) { write(std::string_view(&c, 1)); }
};

}  // namespace skarvel
