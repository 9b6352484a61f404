#include "console/curses_terminal.h"

#include <curses.h>
#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace skarvel {

namespace {

// Set by the handlers of the signals that end a run; read by the waits.
volatile std::sig_atomic_t end_signal = 0;

// The signals that end a run, and what the process did with them before.
constexpr std::array<int, 3> END_SIGNALS = {SIGINT, SIGTERM, SIGHUP};
using SavedHandlers = std::array<struct sigaction, END_SIGNALS.size()>;

// The prefix byte of the keys without a character.
constexpr unsigned char KEY_PREFIX = 224;

// The arrow keys and the letter that follows their prefix byte.
struct ArrowKey {
    int code;
    unsigned char letter;
};
constexpr ArrowKey ARROWS[] = {{KEY_UP, 'H'}, {KEY_DOWN, 'P'}, {KEY_LEFT, 'K'}, {KEY_RIGHT, 'M'}};

constexpr int CTRL_D = 4;
constexpr int DEL = 127;
constexpr int TAB_WIDTH = 8;

// What each byte below 32 shows as in a UTF-8 locale: its code-page-437 picture
// (byte 0, blank there, shows as '?'). 7, 8, 9 and 10 act instead of showing.
constexpr const char* PICTURES[32] = {
    "?",      "\u263A", "\u263B", "\u2665", "\u2666", "\u2663", "\u2660", "\u2022",
    "\u25D8", "\u25CB", "\u25D9", "\u2642", "\u2640", "\u266A", "\u266B", "\u263C",
    "\u25BA", "\u25C4", "\u2195", "\u203C", "\u00B6", "\u00A7", "\u25AC", "\u21A8",
    "\u2191", "\u2193", "\u2192", "\u2190", "\u221F", "\u2194", "\u25B2", "\u25BC",
};
constexpr const char* DEL_PICTURE = "\u2302";

// The same without UTF-8: a plain stand-in for each glyph byte, '?' for the rest.
constexpr char PLAIN[] = "?@!$???????????*><???%??^?>???^v";
static_assert(sizeof PLAIN == 33);
constexpr char DEL_PLAIN = '?';

// Notes the signal; the waits turn it into the end of the run.
void on_end_signal(int signal) { end_signal = signal; }

// Ends the run if one of the end signals has come.
void end_if_signalled() {
    if (end_signal != 0) throw RunEnded{end_signal};
}

// A hexadecimal digit's value, -1 for any other character.
int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A console colour digit (1 blue, 4 red) as a curses colour (1 red, 4 blue).
short curses_colour(int console) {
    return static_cast<short>((console & 0b1010) | (console & 1) << 2 | (console & 4) >> 2);
}

// True when the current locale encodes text in UTF-8.
bool utf8_locale() {
    const std::string_view codeset = nl_langinfo(CODESET);
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
}

class NcursesTerminal final : public CursesTerminal {
public:
    // Takes over a fresh curses screen and its pad, sets the input modes and
    // the end-signal handlers; `previous` are the handlers to give back.
    NcursesTerminal(SCREEN* screen, WINDOW* pad, const SavedHandlers& previous)
        : screen_(screen), pad_(pad), previous_(previous), utf8_(utf8_locale()) {
        cbreak();
        noecho();
        keypad(pad_, TRUE);
        meta(pad_, TRUE);
        scrollok(pad_, TRUE);
        set_escdelay(25);
        if (has_colors() && start_color() == OK && COLOR_PAIRS >= 2) {
            use_default_colors();
            colours_ = COLORS;
            last_pair_ = static_cast<short>(std::min(COLOR_PAIRS - 1, 255));
        }
        end_signal = 0;
        struct sigaction action {};
        action.sa_handler = on_end_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: a blocked read must return
        for (const int signal : END_SIGNALS) sigaction(signal, &action, nullptr);
    }

    NcursesTerminal(const NcursesTerminal&) = delete;
    NcursesTerminal& operator=(const NcursesTerminal&) = delete;

    // Gives the terminal back and puts the old signal handlers in place.
    ~NcursesTerminal() override {
        delwin(pad_);
        endwin();
        delscreen(screen_);
        for (std::size_t i = 0; i < END_SIGNALS.size(); ++i) {
            sigaction(END_SIGNALS[i], &previous_[i], nullptr);
        }
    }

    // Puts the bytes into the pad; they show at the next wait.
    void write(std::string_view bytes) override {
        for (const char c : bytes) put(static_cast<unsigned char>(c));
    }

    // "CLS" and "COLOR XY"; the terminal keeps its size on "MODE CON ...", as
    // the viewport copes with any size. Any other line does nothing.
    void run_console_command(std::string_view line) override {
        show();
        if (line == "CLS") {
            werase(pad_);
            wmove(pad_, 0, 0);
            top_ = 0;  // a screen drawn anew shows from its first line
            left_ = 0;
        } else if (const auto attribute = colour_attribute(line)) {
            set_colours(*attribute);
        }
    }

    // The next key byte; an arrow's letter waits for the call after its prefix.
    int read_key() override {
        if (pending_key_ >= 0) return std::exchange(pending_key_, -1);
        for (;;) {
            const KeyBytes key = key_bytes(next_code());
            if (key.count == 0) continue;
            if (key.count == 2) pending_key_ = key.bytes[1];
            return key.bytes[0];
        }
    }

    // Shows the console, then sleeps; a resize does not cut the sleep short.
    void sleep_ms(std::uint32_t ms) override {
        show();
        timespec left{};
        left.tv_sec = static_cast<std::time_t>(ms / 1000);
        left.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000L;
        for (;;) {
            end_if_signalled();
            if (nanosleep(&left, &left) == 0 || errno != EINTR) return;
        }
    }

    std::int64_t seconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }

protected:
    // Reads a typed line, echoed, with Backspace; Ctrl-D on an empty line ends input.
    bool read_line(std::string& line) override {
        for (;;) {
            const int c = next_code();
            if (c == '\n' || c == '\r' || c == KEY_ENTER) {
                line += '\n';
                new_line();
                return true;
            }
            if (c == CTRL_D) {
                if (line.empty()) return false;
            } else if (c == KEY_BACKSPACE || c == DEL || c == '\b') {
                erase_last(line);
            } else if (c >= ' ' && c <= 255) {
                line += static_cast<char>(c);
                waddch(pad_, static_cast<chtype>(c));
            }
        }
    }

private:
    // One byte of output into the pad.
    void put(unsigned char b) {
        if (b == '\a') {
            bell_pending_ = true;
        } else if (b == '\b') {
            const int x = getcurx(pad_);
            if (x > 0) wmove(pad_, getcury(pad_), x - 1);
        } else if (b == '\t') {
            do waddch(pad_, ' ');
            while (getcurx(pad_) % TAB_WIDTH != 0);
        } else if (b == '\n') {
            new_line();
        } else if (b < ' ' || b == DEL) {
            if (utf8_) {
                waddstr(pad_, b == DEL ? DEL_PICTURE : PICTURES[b]);
            } else {
                waddch(pad_, static_cast<chtype>(b == DEL ? DEL_PLAIN : PLAIN[b]));
            }
        } else {
            waddch(pad_, b);  // a UTF-8 sequence shows once its last byte is in
        }
    }

    // Cursor to the start of the next line, scrolling the pad at the bottom.
    // (waddch('\n') would also clear the rest of the line.)
    void new_line() {
        const int y = getcury(pad_);
        if (y + 1 < CONSOLE_LINES) {
            wmove(pad_, y + 1, 0);
        } else {
            wscrl(pad_, 1);
            wmove(pad_, y, 0);
        }
    }

    // Takes the last typed character off the line and off the screen.
    void erase_last(std::string& line) {
        if (line.empty()) return;
        while (line.size() > 1 && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) {
            line.pop_back();  // the continuation bytes of a UTF-8 character
        }
        line.pop_back();
        int y = getcury(pad_);
        int x = getcurx(pad_);
        if (x > 0) {
            --x;
        } else if (y > 0) {
            --y;
            x = CONSOLE_COLS - 1;
        } else {
            return;
        }
        mvwaddch(pad_, y, x, ' ');
        wmove(pad_, y, x);
    }

    // Gives every cell of the console the colours of `attribute` at once.
    void set_colours(int attribute) {
        const auto colours = curses_colours(attribute, colours_);
        if (!colours) return;
        short& pair = pair_of_[static_cast<std::size_t>(attribute)];
        if (pair == 0) pair = next_pair_ < last_pair_ ? next_pair_++ : last_pair_;
        init_pair(pair, colours->foreground, colours->background);
        wbkgd(pad_, ' ' | COLOR_PAIR(pair) | (colours->bold ? A_BOLD : A_NORMAL));
    }

    // Puts what has been written on the terminal: the whole console, or on a
    // smaller terminal the part that holds the cursor. Rings a pending bell.
    void show() {
        int rows = 0;
        int cols = 0;
        getmaxyx(stdscr, rows, cols);
        rows = std::clamp(rows, 1, CONSOLE_LINES);
        cols = std::clamp(cols, 1, CONSOLE_COLS);
        top_ = follow_cursor(top_, getcury(pad_), rows, CONSOLE_LINES);
        left_ = follow_cursor(left_, getcurx(pad_), cols, CONSOLE_COLS);
        pnoutrefresh(pad_, top_, left_, 0, 0, rows - 1, cols - 1);
        doupdate();
        if (bell_pending_) {
            beep();
            bell_pending_ = false;
        }
    }

    // The next curses key code, the console shown first. A resize repaints and
    // reads on; a signal or a terminal that has gone ends the run.
    int next_code() {
        for (;;) {
            show();
            end_if_signalled();
            errno = 0;
            const int c = wgetch(pad_);
            if (c == KEY_RESIZE) {
                clearok(curscr, TRUE);
            } else if (c != ERR) {
                return c;
            } else {
                end_if_signalled();
                if (errno != EINTR) throw RunEnded{0};
            }
        }
    }

    SCREEN* screen_;              // the curses screen on our terminal
    WINDOW* pad_;                 // the 150x40 console
    SavedHandlers previous_;      // end-signal handlers to give back
    bool utf8_;                   // glyph bytes show as their pictures
    int colours_ = 0;             // colours the terminal has, 0 for none usable
    short next_pair_ = 1;         // the next colour pair not yet given out
    short last_pair_ = 0;         // the highest pair we may use
    std::array<short, 256> pair_of_{};  // the pair of each attribute, 0 for none yet
    int top_ = 0;                 // first pad line shown
    int left_ = 0;                // first pad column shown
    int pending_key_ = -1;        // an arrow's letter, due at the next read_key
    bool bell_pending_ = false;   // a bell written, rung when the text shows
};

}  // namespace

KeyBytes key_bytes(int curses_key) {
    if (curses_key >= 0 && curses_key <= 255) {
        return {1, {static_cast<unsigned char>(curses_key), 0}};
    }
    if (curses_key < 0 || curses_key == KEY_RESIZE) return {};
    for (const ArrowKey& arrow : ARROWS) {
        if (arrow.code == curses_key) return {2, {KEY_PREFIX, arrow.letter}};
    }
    return {1, {KEY_PREFIX, 0}};
}

std::optional<int> colour_attribute(std::string_view command) {
    constexpr std::string_view prefix = "COLOR ";
    if (command.size() != prefix.size() + 2 || !command.starts_with(prefix)) return std::nullopt;
    const int background = hex_digit(command[prefix.size()]);
    const int foreground = hex_digit(command[prefix.size() + 1]);
    if (background < 0 || foreground < 0 || background == foreground) return std::nullopt;
    return background * 16 + foreground;
}

std::optional<CursesColours> curses_colours(int attribute, int colours) {
    if (colours < 8) return std::nullopt;
    const short foreground = curses_colour(attribute & 15);
    const short background = curses_colour(attribute >> 4 & 15);
    if (colours >= 16) return CursesColours{foreground, background, false};
    // Eight colours: no bright background, a bright foreground in bold.
    return CursesColours{static_cast<short>(foreground & 7), static_cast<short>(background & 7),
                         (foreground & 8) != 0};
}

int follow_cursor(int origin, int cursor, int shown, int size) {
    if (cursor < origin) {
        origin = cursor;
    } else if (cursor >= origin + shown) {
        origin = cursor - shown + 1;
    }
    return std::clamp(origin, 0, std::max(0, size - shown));
}

std::unique_ptr<CursesTerminal> open_curses_terminal(const char* term_type, std::FILE* out,
                                                     std::FILE* in, std::string& why) {
    if (!isatty(fileno(in))) {
        why = "standard input is not a terminal";
        return nullptr;
    }
    if (!isatty(fileno(out))) {
        why = "standard output is not a terminal";
        return nullptr;
    }
    SavedHandlers previous{};
    for (std::size_t i = 0; i < END_SIGNALS.size(); ++i) {
        sigaction(END_SIGNALS[i], nullptr, &previous[i]);
    }
    SCREEN* screen = newterm(term_type, out, in);
    if (screen == nullptr) {
        const char* name = term_type != nullptr ? term_type : std::getenv("TERM");
        why = name != nullptr && *name != '\0' ? "unknown terminal type \"" + std::string(name) + '"'
                                               : std::string("TERM is not set");
        return nullptr;
    }
    WINDOW* pad = newpad(CONSOLE_LINES, CONSOLE_COLS);
    if (pad == nullptr) {
        endwin();
        delscreen(screen);
        why = "cannot make the 150x40 console";
        return nullptr;
    }
    return std::make_unique<NcursesTerminal>(screen, pad, previous);
}

std::unique_ptr<CursesTerminal> open_curses_terminal(std::string& why) {
    std::setlocale(LC_ALL, "");
    return open_curses_terminal(nullptr, stdout, stdin, why);
}

}  // namespace skarvel
