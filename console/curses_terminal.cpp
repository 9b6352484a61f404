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

#include "console/screen_buffer.h"

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
        : screen_(screen), pad_(pad), previous_(previous), console_(utf8_locale()) {
        shown_.fill(U' ');  // a new pad is blank
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

    // Takes the bytes into the console; they show at the next wait.
    void write(std::string_view bytes) override { console_.write(bytes); }

    // "CLS" and "COLOR XY"; the terminal keeps its size on "MODE CON ...", as
    // the viewport copes with any size. Any other line does nothing.
    void run_console_command(std::string_view line) override {
        show();
        if (line == "CLS") {
            console_.clear();  // the next show sends only what differs
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
                console_.put('\n');
                return true;
            }
            if (c == CTRL_D) {
                if (line.empty()) return false;
            } else if (c == KEY_BACKSPACE || c == DEL || c == '\b') {
                erase_last(line);
            } else if (c >= ' ' && c <= 255) {
                line += static_cast<char>(c);
                console_.put(static_cast<unsigned char>(c));
            }
        }
    }

private:
    // Takes the last typed character off the line and off the screen.
    void erase_last(std::string& line) {
        if (line.empty()) return;
        while (line.size() > 1 && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) {
            line.pop_back();  // the continuation bytes of a UTF-8 character
        }
        line.pop_back();
        console_.erase_back();
    }

    // Gives every cell of the console the colours of `attribute` at once.
    void set_colours(int attribute) {
        const auto colours = curses_colours(attribute, colours_);
        if (!colours) return;
        short& pair = pair_of_[static_cast<std::size_t>(attribute)];
        if (pair == 0) pair = next_pair_ < last_pair_ ? next_pair_++ : last_pair_;
        init_pair(pair, colours->foreground, colours->background);
        attributes_ = colours->bold ? A_BOLD : A_NORMAL;
        pair_ = pair;
        wbkgd(pad_, ' ' | COLOR_PAIR(pair) | attributes_);
        view_ = {};  // every cell has changed
    }

    // Puts what has been written on the terminal: the whole console, or on a
    // smaller terminal the part that holds the cursor. Rings a pending bell.
    // Only the lines that changed are copied to the screen (the cursor's line
    // among them, so that the cursor goes along); the whole view when it has
    // moved, been resized or recoloured.
    void show() {
        draw();
        int rows = 0;
        int cols = 0;
        getmaxyx(stdscr, rows, cols);
        rows = std::clamp(rows, 1, CONSOLE_LINES);
        cols = std::clamp(cols, 1, CONSOLE_COLS);
        top_ = follow_cursor(top_, console_.row(), rows, CONSOLE_LINES);
        left_ = follow_cursor(left_, console_.col(), cols, CONSOLE_COLS);
        const View view{top_, left_, rows, cols};
        const Cursor cursor{console_.row(), console_.col()};
        if (view != view_) {
            std::fill(changed_.begin(), changed_.end(), true);
            view_ = view;
        }
        const bool any = cursor != cursor_ || std::find(changed_.begin(), changed_.end(), true) != changed_.end();
        if (any) {
            changed_[static_cast<std::size_t>(cursor.row)] = true;  // the cursor goes along
            cursor_ = cursor;
        }
        for (int y = top_; y < top_ + rows; ++y) {
            if (!changed_[static_cast<std::size_t>(y)]) continue;
            int end = y + 1;
            while (end < top_ + rows && changed_[static_cast<std::size_t>(end)]) ++end;
            pnoutrefresh(pad_, y, left_, y - top_, 0, end - 1 - top_, cols - 1);
            y = end;
        }
        std::fill(changed_.begin(), changed_.end(), false);
        if (any) doupdate();
        if (console_.take_bell()) beep();
    }

    // Puts into the pad the cells of the console that differ from what it
    // holds: on each line the span from the first to the last changed cell,
    // in the colours of the pad's background, so that the next wbkgd
    // recolours them with the rest. Then the pad's cursor goes where the
    // console's is.
    void draw() {
        std::array<cchar_t, CONSOLE_COLS> cells;
        for (int y = 0; y < CONSOLE_LINES; ++y) {
            const std::u32string_view now = console_.line(y);
            char32_t* const was = shown_.data() + y * CONSOLE_COLS;
            const auto differs = [&](int x) { return now[static_cast<std::size_t>(x)] != was[x]; };
            int first = 0;
            while (first < CONSOLE_COLS && !differs(first)) ++first;
            if (first == CONSOLE_COLS) continue;
            int end = CONSOLE_COLS;
            while (!differs(end - 1)) --end;
            for (int x = first; x < end; ++x) {
                const wchar_t text[2] = {static_cast<wchar_t>(now[static_cast<std::size_t>(x)]), L'\0'};
                setcchar(&cells[static_cast<std::size_t>(x - first)], text, attributes_, pair_, nullptr);
                was[x] = now[static_cast<std::size_t>(x)];
            }
            mvwadd_wchnstr(pad_, y, first, cells.data(), end - first);
            changed_[static_cast<std::size_t>(y)] = true;
        }
        wmove(pad_, console_.row(), console_.col());
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
                view_ = {};  // the whole view is painted anew
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
    ScreenBuffer console_;        // the console as written
    std::array<char32_t, CONSOLE_COLS * CONSOLE_LINES> shown_;  // what the pad holds
    attr_t attributes_ = A_NORMAL;  // of the pad's background, for every cell
    short pair_ = 0;              // the colour pair of the pad's background
    int colours_ = 0;             // colours the terminal has, 0 for none usable
    short next_pair_ = 1;         // the next colour pair not yet given out
    short last_pair_ = 0;         // the highest pair we may use
    std::array<short, 256> pair_of_{};  // the pair of each attribute, 0 for none yet
    // The part of the pad on the screen, and where the cursor is.
    struct View {
        int top = -1, left = -1, rows = 0, cols = 0;
        bool operator==(const View&) const = default;
    };
    struct Cursor {
        int row = 0, col = 0;
        bool operator==(const Cursor&) const = default;
    };
    View view_;                   // as last shown; {} to show it all again
    Cursor cursor_;               // as last shown
    std::array<bool, CONSOLE_LINES> changed_{};  // pad lines not yet shown as they are
    int top_ = 0;                 // first pad line shown
    int left_ = 0;                // first pad column shown
    int pending_key_ = -1;        // an arrow's letter, due at the next read_key
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
