// The seam between the game and its console. Every screen writes, reads and
// waits through a Terminal; the ncursesw backend drives a real terminal and
// the scripted one in the tests records everything against a virtual clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace skarvel {

// Thrown by a terminal when the run has to end at once: the terminal went
// away, or a signal asked the program to stop. Caught only by main, so the
// terminal is restored by the ordinary unwinding of its owner.
struct RunEnded {
    int signal = 0;  // the signal that ended the run, 0 for a lost terminal
};

// The console is 150 columns by 40 lines.
constexpr int CONSOLE_COLS = 150;
constexpr int CONSOLE_LINES = 40;

class Terminal {
public:
    virtual ~Terminal() = default;

    // Console output: bytes as the game's printf would send them.
    virtual void write(std::string_view bytes) = 0;
    // "CLS", "COLOR XY" or "MODE CON COLS=150 LINES=40"; shows pending output first.
    virtual void run_console_command(std::string_view line) = 0;
    // One key byte, 0..255, without echo; shows pending output first.
    virtual int read_key() = 0;
    // Shows pending output, then waits.
    virtual void sleep_ms(std::uint32_t ms) = 0;
    // Calendar time in whole seconds.
    virtual std::int64_t seconds() = 0;

    // Line input: the next byte of the typed line, or EOF. When nothing is
    // waiting, a new line is read (echoed, editable, ended by Enter).
    int read_line_char();
    // Puts back the byte last read, so that the next read_line_char gives it again.
    void unread_line_char();

    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void putchar(char c) { write(std::string_view(&c, 1)); }
    void clear_screen() { run_console_command("CLS"); }

protected:
    // Reads one typed line into `line`, its '\n' included; false at end of input.
    virtual bool read_line(std::string& line) = 0;

private:
    std::string line_;     // the line being consumed
    std::size_t pos_ = 0;  // next byte of line_
};

}  // namespace skarvel
