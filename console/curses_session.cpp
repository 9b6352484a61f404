#include "console/curses_session.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "console/end_signals.h"
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
    errno = 0;
    SCREEN* screen = newterm(name, out, in);
    if (screen == nullptr) {
        why = errno == ENOMEM ? "out of memory" : "unknown terminal type " + quoted;
        return nullptr;
    }
    WINDOW* pad = newpad(CONSOLE_LINES, CONSOLE_COLS);
    std::unique_ptr<CursesSession> session(pad == nullptr ? nullptr
                                                          : new (std::nothrow) CursesSession(screen, pad, fileno(out)));
    if (!session) {
        if (pad != nullptr) delwin(pad);
        endwin();
        delscreen(screen);
        why = "out of memory";
    }
    return session;
}

CursesSession::CursesSession(SCREEN* screen, WINDOW* pad, int fd) : screen_(screen), pad_(pad), fd_(fd) {
    cbreak();
    noecho();
    keypad(pad_, TRUE);  // keys are read on the pad: reading on stdscr would paint it over the pad
    meta(pad_, TRUE);
    scrollok(pad_, TRUE);
    set_escdelay(25);  // arrow keys are read at once
}

void CursesSession::suspend() {
    given_back_ = true;
    // Where a script started the game, the shell takes the terminal as soon
    // as the script stops, maybe before this process has given it back: the
    // modes are put back all the same, rather than stopping half-way on SIGTTOU.
    sigset_t ttou{};
    sigset_t before{};
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    pthread_sigmask(SIG_BLOCK, &ttou, &before);
    endwin();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    // Continued in the background (bg), the game stops again until it is brought to the foreground.
    for (;;) {
        EndSignalGuard::stop_process();
        EndSignalGuard::end_run_if_signalled();
        const pid_t foreground = tcgetpgrp(fd_);
        if (foreground == getpgrp()) break;
        if (foreground < 0) throw RunEnded{0};  // the terminal has gone
    }
    given_back_ = false;
    flushinp();  // a key read cut short by the stop left a failure queued in curses
}

CursesSession::~CursesSession() {
    delwin(pad_);
    if (!given_back_) endwin();
    delscreen(screen_);
}

}  // namespace skarvel
