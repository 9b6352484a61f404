// The seam between the game and its console. Everything the game does to the
// console goes through a Terminal: the ncursesw backend drives a real
// terminal, and the scripted one in the tests records every call against a
// virtual clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skarvel {

// The console is 150 columns by 40 lines.
constexpr int CONSOLE_COLS = 150;
constexpr int CONSOLE_LINES = 40;
constexpr std::size_t CONSOLE_CELLS = std::size_t{CONSOLE_COLS} * CONSOLE_LINES;
// A tab moves to the next stop of every eight columns.
constexpr int TAB_WIDTH = 8;

// A place on a grid: on the console, or on the game's field.
struct Position {
    int row = 0;
    int col = 0;
    bool operator==(const Position&) const = default;
};

// The console's sixteen colours, numbered by the bits of a colour digit:
// 1 blue, 2 green, 4 red, 8 bright.
enum class ConsoleColour : unsigned char {
    black,
    blue,
    green,
    cyan,
    red,
    purple,
    yellow,
    white,
    grey,
    light_blue,
    light_green,
    light_cyan,
    light_red,
    light_purple,
    light_yellow,
    bright_white,
};

// The colours of the whole console.
struct Colours {
    ConsoleColour background;
    ConsoleColour foreground;
    bool operator==(const Colours&) const = default;
};

// One key press: a character, an arrow, or another key without a character
// (Home, PageDown, a function key...).
struct Key {
    enum class Kind : unsigned char { character, up, down, left, right, other };
    Kind kind = Kind::character;
    unsigned char character = 0;  // the byte typed, for Kind::character

    static constexpr Key of(unsigned char c) { return {Kind::character, c}; }
    bool operator==(const Key&) const = default;
};

// Thrown by a terminal when the run has to end at once. Caught only by main,
// so the terminal is restored by the ordinary unwinding of its owner.
struct RunEnded {
    enum class Cause {
        terminal_gone,  // the terminal closed: nothing left to read from
        signal,         // an end signal (Ctrl-C, SIGTERM...) asked the program to stop
        out_of_memory,  // curses could not take the window's new size
    };
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
    // awaited, and the view keeps it in sight; text goes on from the write
    // position. The next clear_screen or unmark_cursor drops the mark, and
    // the cursor rests where the text ends again.
    virtual void mark_cursor() = 0;
    virtual void unmark_cursor() = 0;
    // The game's counters in one line, for a terminal too small to show the
    // whole console: no part of the console, kept until the next clear_screen.
    virtual void set_status(std::string_view line) = 0;
    // Waits for one key press, without echo.
    virtual Key read_key() = 0;
    // Waits `ms` milliseconds.
    virtual void sleep_ms(std::uint32_t ms) = 0;
    // Reads one typed line into `line` (echoed, editable, ended by Enter),
    // its '\n' included; false at the end of input.
    virtual bool read_line(std::string& line) = 0;

    // The game's texts are printf formats; the compiler checks every call.
    // One text is at most 511 bytes, far more than the game's longest line:
    // a longer one is cut rather than allocated for, since nothing is
    // allocated while a game runs.
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));  // NOLINT(cert-dcl50-cpp)
    void putchar(char c) { write(std::string_view(&c, 1)); }
};

}  // namespace skarvel
