#include "console/curses_session.h"

#include <unistd.h>

#include <cstdlib>

#include "console/terminal.h"
#include "console/terminal_type.h"

namespace skarvel {

std::unique_ptr<CursesSession> CursesSession::open(const char* term_type, std::FILE* out, std::FILE* in,
                                                   std::string& why) {
    if (!isatty(fileno(in))) {
        why = "standard input is not a terminal";
        return nullptr;
    }
    if (!isatty(fileno(out))) {
        why = "standard output is not a terminal";
        return nullptr;
    }
    const char* name = term_type != nullptr ? term_type : std::getenv("TERM");
    const std::string quoted = std::string(1, '"').append(name != nullptr ? name : "").append(1, '"');
    if (name == nullptr || *name == '\0') {
        why = "TERM is not set";
        return nullptr;
    }
    if (!can_address_and_clear(name, fileno(out))) {
        why = "terminal type " + quoted + " cannot move the cursor or clear the screen";
        return nullptr;
    }
    SCREEN* screen = newterm(name, out, in);
    if (screen == nullptr) {
        why = "unknown terminal type " + quoted;
        return nullptr;
    }
    WINDOW* pad = newpad(CONSOLE_LINES, CONSOLE_COLS);
    if (pad == nullptr) {
        endwin();
        delscreen(screen);
        why = "cannot make the 150x40 console";
        return nullptr;
    }
    return std::make_unique<CursesSession>(screen, pad);
}

CursesSession::CursesSession(SCREEN* screen, WINDOW* pad) : screen_(screen), pad_(pad) {
    cbreak();
    noecho();
    keypad(pad_, TRUE);  // keys are read on the pad: reading on stdscr would paint it over the pad
    meta(pad_, TRUE);
    scrollok(pad_, TRUE);
    set_escdelay(25);  // arrow keys are read at once
}

CursesSession::~CursesSession() {
    delwin(pad_);
    endwin();
    delscreen(screen_);
}

}  // namespace skarvel
