#include "console/curses_screen.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "console/signals.h"
#include "console/terminal.h"

// Last: it defines a macro for every terminal capability, clear_screen among them.
// clang-format off
#include <term.h>
// clang-format on

namespace skarvel {

namespace {

// The largest screen the game draws on: the console, and under it the
// status line of a terminal that is narrower than the console.
constexpr int MOST_ROWS = CONSOLE_LINES + 1;
constexpr int MOST_COLS = CONSOLE_COLS;

// A string capability of the current description; null where it has none.
const char* string_capability(const char* name) {
    const char* value = tigetstr(name);
    return reinterpret_cast<std::intptr_t>(value) == -1 ? nullptr : value;  // -1: no string capability
}

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
constexpr NamedSequence NUMPAD_CAPABILITIES[] = {
    {"ka2", KEY_UP}, {"kc2", KEY_DOWN}, {"kb1", KEY_LEFT}, {"kb3", KEY_RIGHT}};

// Names the numpad's 8, 2, 4 and 6 as the arrows and its Enter as Enter,
// however the terminal description names them (or does not); the arrows'
// own sequences too, in either cursor mode.
void name_keypad_keys() {
    for (const NamedSequence& numpad : NUMPAD_CAPABILITIES) {
        if (const char* bytes = string_capability(numpad.bytes)) (void)define_key(bytes, numpad.code);
    }
    for (const NamedSequence& key : KEYPAD_SEQUENCES) (void)define_key(key.bytes, key.code);
}

// True for a known terminal type that can put the cursor anywhere and clear
// the screen, as every screen of the game needs; `fd` is the terminal. An
// unknown type gives true, for curses to name it when it starts.
bool can_address_and_clear(const char* term_type, int fd) {
    TERMINAL* const before = cur_term;
    int status = 0;
    if (setupterm(term_type, fd, &status) != OK) return true;
    const bool able = string_capability("cup") != nullptr && string_capability("clear") != nullptr;
    del_curterm(set_curterm(before));
    return able;
}

}  // namespace

std::unique_ptr<CursesScreen> CursesScreen::open(const char* term_type, std::FILE* out, std::FILE* in,
                                                 std::string& why) {
    const char* name = term_type != nullptr ? term_type : std::getenv("TERM");
    const std::string quoted = std::string("\"").append(name != nullptr ? name : "").append("\"");
    // curses starts at the size the terminal description gives, and
    // fit_window then takes the window's, so that a huge window costs
    // nothing: not the window's size from the environment.
    use_env(FALSE);
    if (!isatty(fileno(in))) {
        why = "standard input is not a terminal";
    } else if (!isatty(fileno(out))) {
        why = "standard output is not a terminal";
    } else if (name == nullptr || *name == '\0') {
        why = "TERM is not set";
    } else if (!can_address_and_clear(name, fileno(out))) {
        why = "terminal type " + quoted + " cannot move the cursor or clear the screen";
    }
    if (!why.empty()) return nullptr;
    errno = 0;
    SCREEN* screen = newterm(name, out, in);
    if (screen == nullptr) {
        why = errno == ENOMEM ? "out of memory" : "unknown terminal type " + quoted;
        return nullptr;
    }
    std::unique_ptr<CursesScreen> opened(new (std::nothrow) CursesScreen(screen, fileno(out)));
    if (!opened) {
        endwin();
        delscreen(screen);
        why = "out of memory";
        return nullptr;
    }
    try {
        opened->fit_window();
    } catch (const RunEnded&) {
        why = "out of memory";
        return nullptr;  // given back as it goes
    }
    return opened;
}

CursesScreen::CursesScreen(SCREEN* screen, int fd) : screen_(screen), fd_(fd) {
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    name_keypad_keys();
    meta(stdscr, TRUE);
    set_escdelay(25);  // arrow keys are read at once
    typeahead(-1);     // a frame is sent whole, also while keys wait
    // Until a screen has once been given back and taken again, curses
    // flushes its output at every cursor movement: 6 to 8 writes a frame
    // instead of one, and about a hundred for a flash.
    endwin();
    doupdate();
}

void CursesScreen::fit_window() {
    int rows = LINES;  // where the window tells no size, the description's
    int cols = COLS;
    winsize window{};
    if (ioctl(fd_, TIOCGWINSZ, &window) == 0 && window.ws_row > 0 && window.ws_col > 0) {
        rows = window.ws_row;
        cols = window.ws_col;
    }
    rows = std::min(rows, MOST_ROWS);
    cols = std::min(cols, MOST_COLS);
    if (rows == LINES && cols == COLS) return;
    if (resize_term(rows, cols) != OK) {
        broken_ = true;
        throw RunEnded{RunEnded::Cause::out_of_memory};
    }
}

void CursesScreen::suspend() {
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
        SignalGuard::stop_process();
        SignalGuard::end_run_if_signalled();
        const pid_t foreground = tcgetpgrp(fd_);
        if (foreground == getpgrp()) break;
        if (foreground < 0) throw RunEnded{RunEnded::Cause::terminal_gone};
    }
    given_back_ = false;
}

CursesScreen::~CursesScreen() {
    if (!given_back_) endwin();
    if (!broken_) delscreen(screen_);
}

}  // namespace skarvel
