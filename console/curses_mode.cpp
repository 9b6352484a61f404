#include "console/curses_mode.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "console/signals.h"
#include "console/terminal.h"

// Last: it defines a macro for every terminal capability, clear_screen among them.
// clang-format off
#include <term.h>
// clang-format on

namespace skarvel {

namespace {

// The largest screen the game draws on: the console, and under it the
// status line of a terminal that is narrower than the console. curses is
// never sized larger, so a huge window costs no more memory than this.
constexpr int CURSES_MAX_ROWS = CONSOLE_ROWS + 1;
constexpr int CURSES_MAX_COLS = CONSOLE_COLS;

// The size of the window on `fd`, none where the terminal does not report one.
std::optional<WindowSize> window_size(int fd) {
    winsize window{};
    if (ioctl(fd, TIOCGWINSZ, &window) != 0 || window.ws_row == 0 || window.ws_col == 0) return std::nullopt;
    return WindowSize{window.ws_row, window.ws_col};
}

// The size curses is given for a window: its own, capped.
WindowSize capped(WindowSize window) {
    return {std::min(window.rows, CURSES_MAX_ROWS), std::min(window.cols, CURSES_MAX_COLS)};
}

// LINES or COLUMNS as the environment has it now, if set.
std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void set_variable(const char* name, const std::optional<std::string>& value) {
    if (value) {
        (void)::setenv(name, value->c_str(), 1);
    } else {
        (void)::unsetenv(name);
    }
}

// What curses takes to start, with room to spare: its three screens of
// CURSES_MAX_ROWS x CURSES_MAX_COLS cells are half of it. Where memory runs
// out as it starts, curses ends the process itself or crashes, so a start
// is refused where this much cannot be had.
constexpr std::size_t CURSES_START_BYTES = std::size_t{1} << 20;

bool enough_memory_to_start() {
    void* volatile probe = std::malloc(CURSES_START_BYTES);  // volatile: never left out
    const bool enough = probe != nullptr;
    std::free(probe);
    return enough;
}

// A string capability of the current description; null where it has none.
const char* string_capability(const char* name) {
    const char* value = tigetstr(name);
    return reinterpret_cast<std::intptr_t>(value) == -1 ? nullptr : value;  // -1: no string capability
}

// A key's bytes, or the name of its capability, and the code curses is to give for it.
struct KeySequence {
    const char* bytes;
    int code;
};
struct KeyCapability {
    const char* name;
    int code;
};

// What a terminal sends for these keys with the application keypad on (the
// numpad) and in either cursor mode (the arrows).
constexpr KeySequence KEYPAD_SEQUENCES[] = {
    {"\033Ox", KEY_UP},    {"\033Or", KEY_DOWN},
    {"\033Ot", KEY_LEFT},  {"\033Ov", KEY_RIGHT},  // numpad 8, 2, 4, 6
    {"\033OM", KEY_ENTER},                         // numpad Enter
    {"\033OA", KEY_UP},    {"\033OB", KEY_DOWN},
    {"\033OD", KEY_LEFT},  {"\033OC", KEY_RIGHT},  // application cursor mode
    {"\033[A", KEY_UP},    {"\033[B", KEY_DOWN},
    {"\033[D", KEY_LEFT},  {"\033[C", KEY_RIGHT},  // normal cursor mode
};

// The numpad's 8, 2, 4 and 6 as terminal descriptions name them.
constexpr KeyCapability NUMPAD_CAPABILITIES[] = {
    {"ka2", KEY_UP}, {"kc2", KEY_DOWN}, {"kb1", KEY_LEFT}, {"kb3", KEY_RIGHT}};

// Names the numpad's 8, 2, 4 and 6 as the arrows and its Enter as Enter,
// however the terminal description names them (or does not); the arrows'
// own sequences too, in either cursor mode.
void name_keypad_keys() {
    for (const KeyCapability& numpad : NUMPAD_CAPABILITIES) {
        if (const char* bytes = string_capability(numpad.name)) (void)define_key(bytes, numpad.code);
    }
    for (const KeySequence& key : KEYPAD_SEQUENCES) (void)define_key(key.bytes, key.code);
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

// Once the terminal is restored: where the window is taller than curses was
// sized, the scroll region curses set for its own lines is set back to the
// whole window, the cursor kept where it is, so the shell scrolls over all of it.
void reset_scroll_region(int fd) {
    const std::optional<WindowSize> window = window_size(fd);
    const char* region = string_capability("csr");
    const char* save = string_capability("sc");
    const char* restore = string_capability("rc");
    if (!window || window->rows <= LINES || region == nullptr || save == nullptr || restore == nullptr) return;
    const char* whole = tiparm(region, 0, window->rows - 1);
    if (whole == nullptr || std::strstr(whole, "$<") != nullptr)
        return;  // GCOVR_EXCL_LINE: a delay for a serial line, not ours to send (no description here has one)
    const std::string bytes = std::string(save) + whole + restore;
    (void)!::write(fd, bytes.data(), bytes.size());  // nothing to do where the terminal has gone
}

}  // namespace

std::unique_ptr<CursesMode> CursesMode::open(const char* term_type, std::FILE* out, std::FILE* in, std::string& why) {
    const char* name = term_type != nullptr ? term_type : std::getenv("TERM");
    const std::string quoted = std::string("\"").append(name != nullptr ? name : "").append("\"");
    if (!isatty(fileno(in))) {
        why = "standard input is not a terminal";
    } else if (!isatty(fileno(out))) {
        why = "standard output is not a terminal";
    } else if (name == nullptr || *name == '\0') {
        why = "TERM is not set";
    } else if (!enough_memory_to_start()) {
        why = "out of memory";
    } else if (!can_address_and_clear(name, fileno(out))) {
        why = "terminal type " + quoted + " cannot move the cursor or clear the screen";
    }
    if (!why.empty()) return nullptr;
    auto opened = std::make_unique<CursesMode>(fileno(out));
    errno = 0;
    opened->screen_ = newterm(name, out, in);
    if (opened->screen_ == nullptr) {
        why = errno == ENOMEM ? "out of memory" : "unknown terminal type " + quoted;
        return nullptr;
    }
    opened->set_modes();
    return opened;
}

// curses takes its size from LINES and COLUMNS, where they are set, before
// the window's own or the terminal description's (24 lines for most): as it
// starts, and whenever it resumes after a stop. What it
// sends as it starts, the scroll region and the cursor on the last line,
// comes from that size, and no later resize sets the region again. So for
// as long as curses runs, the two say the size the game gives curses.
CursesMode::CursesMode(int fd) : fd_(fd), lines_before_(variable("LINES")), columns_before_(variable("COLUMNS")) {
    const std::optional<WindowSize> window = window_size(fd_);
    // Where the terminal reports no size, the description's.
    use_env(window ? TRUE : FALSE);
    if (window) set_size_variables(capped(*window));
}

void CursesMode::set_size_variables(WindowSize size) {
    (void)::setenv("LINES", std::to_string(size.rows).c_str(), 1);
    (void)::setenv("COLUMNS", std::to_string(size.cols).c_str(), 1);
}

void CursesMode::set_modes() {
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    name_keypad_keys();
    meta(stdscr, TRUE);
    set_escdelay(25);  // arrow keys are read at once
    typeahead(-1);     // a frame is sent whole, also while keys wait
    // Until curses has once ended and resumed, it flushes its output at
    // every cursor movement: 6 to 8 writes a frame instead of one, and about
    // a hundred for a flash.
    endwin();
    doupdate();
}

void CursesMode::resize_to_window() {
    const std::optional<WindowSize> window = window_size(fd_);
    if (!window) return;  // curses keeps the size it has
    const WindowSize size = capped(*window);
    set_size_variables(size);
    if (size.rows == LINES && size.cols == COLS) return;
    if (resize_term(size.rows, size.cols) != OK) {
        broken_ = true;
        throw RunEnded{RunEnded::Cause::out_of_memory};
    }
}

void CursesMode::suspend() {
    suspended_ = true;
    // Where a script started the game, the shell takes the terminal as soon
    // as the script stops, maybe before this process has restored it: the
    // modes are restored all the same, rather than stopping half-way on SIGTTOU.
    sigset_t ttou{};
    sigset_t before{};
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    pthread_sigmask(SIG_BLOCK, &ttou, &before);
    endwin();
    reset_scroll_region(fd_);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    // Continued in the background (bg), the game stops again until it is brought to the foreground.
    for (;;) {
        SignalGuard::stop_process();
        SignalGuard::end_run_if_signalled();
        const pid_t foreground = tcgetpgrp(fd_);
        if (foreground == getpgrp()) break;
        if (foreground < 0) throw RunEnded{RunEnded::Cause::terminal_gone};  // GCOVR_EXCL_LINE: a hangup while stopped
    }
    suspended_ = false;
}

CursesMode::~CursesMode() {
    if (screen_ != nullptr && !suspended_) {
        endwin();
        reset_scroll_region(fd_);
    }
    if (screen_ != nullptr && !broken_) delscreen(screen_);
    set_variable("LINES", lines_before_);
    set_variable("COLUMNS", columns_before_);
}

}  // namespace skarvel
