#include "console/services.h"

#include <cstring>

#include "console/scan.h"

namespace skarvel {

namespace {

struct SchemeCommand {
    char code;
    const char* command;
};

// The console attribute behind every code: background digit, then foreground.
constexpr SchemeCommand SCHEMES[] = {
    {'1', "COLOR 07"}, {'2', "COLOR 02"}, {'3', "COLOR 70"}, {'4', "COLOR 7C"},
    {'5', "COLOR 79"}, {'6', "COLOR 60"}, {'7', "COLOR 64"}, {'8', "COLOR 57"},
    {'h', "COLOR 48"}, {'k', "COLOR 4C"}, {'p', "COLOR 04"},
};

constexpr const char* WINDOW_SIZE = "MODE CON COLS=150 LINES=40";

// Line input as a byte source for the scanf conversions.
struct LineSource {
    Terminal& term;
    int get() { return term.read_line_char(); }
    void unget() { term.unread_line_char(); }
};

}  // namespace

void set(GameState& g, Terminal& term, char mode) {
    if (mode == '0') {
        // A stored '0' is not applied again, so the set-up never re-enters itself.
        if (g.color != '0') set(g, term, g.color);
        term.run_console_command(WINDOW_SIZE);
        return;
    }
    for (const SchemeCommand& s : SCHEMES) {
        if (s.code != mode) continue;
        term.run_console_command(s.command);
        if (mode >= '1' && mode <= '8') g.color = mode;
        return;
    }
}

void floating(Terminal& term, const char* str, std::int32_t wait) {
    const std::size_t n = std::strlen(str);
    const auto pause = static_cast<std::uint32_t>(wait < 0 ? 0 : wait);
    for (std::size_t i = 0; i < n; ++i) {
        term.putchar(str[i]);
        term.sleep_ms(pause);
    }
    term.sleep_ms(500);
    for (std::size_t i = 0; i < n; ++i) term.putchar('\b');
    for (std::size_t i = 0; i < n; ++i) {
        term.putchar(' ');
        term.sleep_ms(pause);
    }
}

char read_upper(Terminal& term) {
    return upper(term.read_key());
}

void clear(Terminal& term) {
    for (int c = term.read_line_char(); c != '\n' && c != EOF; c = term.read_line_char()) {
    }
}

bool read_int(Terminal& term, std::int32_t& value) {
    LineSource in{term};
    return scan_int(in, value);
}

}  // namespace skarvel
