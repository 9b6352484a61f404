#include "console/curses_terminal.h"

#include <curses.h>
#include <langinfo.h>
#include <poll.h>

#include <cerrno>
#include <clocale>
#include <ctime>
#include <optional>
#include <utility>

#include "console/console.h"
#include "console/curses_mode.h"
#include "console/curses_view.h"
#include "console/line_editor.h"
#include "console/signals.h"

namespace skarvel {

namespace {

constexpr int ESC = 27;
constexpr int CTRL_L = 12;  // redraws the whole terminal on every screen; no key of the game

// What read_code gives for an escape sequence that curses has no name for:
// above every byte and every key code of curses, so no character.
constexpr int UNNAMED_SEQUENCE = KEY_MAX + 0x1000;

// The bytes of a control sequence after its introducer: parameter (0x30-0x3F)
// and intermediate (0x20-0x2F) bytes, then one final byte (0x40-0x7E).
constexpr bool continues_sequence(int code) { return code >= 0x20 && code <= 0x3F; }
constexpr bool ends_sequence(int code) { return code >= 0x40 && code <= 0x7E; }

// The Key of a curses key code: the byte for 0..255, the arrows by name;
// any other key has no character.
Key key_of(int code) {
    if (code >= 0 && code <= 255) return Key::of(static_cast<unsigned char>(code));
    switch (code) {
        case KEY_UP: return Key{Key::Kind::up};
        case KEY_DOWN: return Key{Key::Kind::down};
        case KEY_LEFT: return Key{Key::Kind::left};
        case KEY_RIGHT: return Key{Key::Kind::right};
        default: return Key{Key::Kind::other};
    }
}

bool utf8_locale() {
    const std::string_view codeset = nl_langinfo(CODESET);
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
}

// The game's console on a curses terminal. Output collects in the Console
// and reaches the terminal at every clear, colour change, key read and sleep.
class CursesTerminal final : public Terminal {
public:
    CursesTerminal(std::unique_ptr<SignalGuard> guard, std::unique_ptr<CursesMode> mode, int input,
                   const StandIns& stand_ins)
        : guard_(std::move(guard)), mode_(std::move(mode)), input_(input), console_(utf8_locale(), stand_ins) {}

    void write(std::string_view bytes) override { console_.write(bytes); }

    void clear_screen() override {
        refresh();
        console_.clear();
        view_.reset_scroll();
    }

    void set_colours(Colours colours) override {
        refresh();
        view_.set_colours(palette_.cell_colours(colours, false));
    }

    void flash_colours(Colours colours) override {
        refresh();
        view_.set_colours(palette_.cell_colours(colours, true));
    }

    void size_window() override { refresh(); }  // the terminal keeps its size: the view shows what fits
    void mark_cursor() override { console_.mark(); }
    void unmark_cursor() override { console_.clear_mark(); }
    void set_status(std::span<const std::string_view> forms) override { console_.set_status(forms); }

    // A key already waiting when the read begins was typed while the screen
    // was being written: it goes to the screen as it is. Later ones scroll a
    // screen taller than the view, where they are scroll keys.
    Key read_key() override {
        const bool typed_ahead = key_waiting();
        for (;;) {
            const int code = next_code();
            if (!typed_ahead && view_.handle_scroll_key(console_, code)) continue;
            return key_of(code);
        }
    }

    // A resize does not cut the sleep short.
    void sleep_ms(std::uint32_t ms) override {
        refresh();
        timespec left{static_cast<std::time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
        for (;;) {
            handle_signals();
            if (nanosleep(&left, &left) == 0 || errno != EINTR) return;
        }
    }

    std::int64_t seconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }

    // A line ends only with Enter: the terminal has no end of input to give.
    bool read_line(std::string& line) override {
        LineEditor editor(console_, line);
        while (!editor.handle_key(next_code())) {
        }
        return true;
    }

private:
    // Puts the console on the terminal and rings a pending bell.
    void refresh() {
        view_.refresh(console_);
        if (console_.consume_bell()) beep();
    }

    // An end signal ends the run; after Ctrl-Z and the resume, and after a
    // resize, the whole terminal is redrawn at the window's size.
    void handle_signals() {
        SignalGuard::end_run_if_signalled();
        const bool stopped = SignalGuard::consume_stop_request();
        if (stopped) mode_->suspend();
        if (SignalGuard::consume_resize() || stopped) {
            mode_->resize_to_window();
            view_.repaint();
            refresh();
        }
    }

    // The next key code (a curses code or UNNAMED_SEQUENCE), the console
    // refreshed first. Ctrl-L repaints and reads on; a signal or a terminal
    // that has gone ends the run.
    int next_code() {
        for (;;) {
            refresh();
            handle_signals();
            const int code = read_code();
            if (code == CTRL_L) {
                view_.repaint();
            } else if (code != ERR) {
                return code;
            } else if (terminal_gone_) {
                SignalGuard::end_run_if_signalled();
                throw RunEnded{RunEnded::Cause::terminal_gone};
            }
        }
    }

    // curses gives the keys its terminal description names; a sequence it
    // does not name is read whole here, so that none of its bytes acts as a
    // key of its own. A lone Esc, nothing after it for the escape delay, is 27.
    int read_code() {
        const int first = pending_code_ ? *std::exchange(pending_code_, std::nullopt) : wait_for_code();
        if (first != ESC) return first;
        const int second = read_within(get_escdelay());
        if (second != '[' && second != 'O') {
            if (second != ERR) pending_code_ = second;  // Esc, then another key
            return ESC;
        }
        for (;;) {
            const int code = read_within(get_escdelay());
            if (continues_sequence(code)) continue;
            if (code != ERR && !ends_sequence(code)) pending_code_ = code;  // another key broke it off
            return UNNAMED_SEQUENCE;
        }
    }

    // The wait is our own poll(), which any signal interrupts (ERR); curses
    // reads only once there is input, so that no signal ever interrupts its
    // read(), which would leave an error queued in it. Keys curses has read
    // ahead are taken first.
    int wait_for_code() {
        if (!std::exchange(none_queued_, false)) {
            const int queued = read_within(0);
            if (queued != ERR) return queued;
        }
        pollfd ready{input_, POLLIN, 0};
        if (::poll(&ready, 1, -1) < 0) return ERR;
        const int code = read_within(-1);
        terminal_gone_ = code == ERR;  // poll() reported input, but read() found end of file or an error
        return code;
    }

    // True when a key was typed before this call.
    bool key_waiting() {
        if (!pending_code_) {
            const int code = read_within(0);
            if (code != ERR) pending_code_ = code;
            none_queued_ = code == ERR;
        }
        return pending_code_.has_value();
    }

    // The next curses code, ERR after `ms` milliseconds (-1: no limit).
    static int read_within(int ms) {
        wtimeout(stdscr, ms);
        const int code = wgetch(stdscr);
        wtimeout(stdscr, -1);
        return code;
    }

    // Destroyed in reverse order: the terminal is restored before the signal handlers are.
    std::unique_ptr<SignalGuard> guard_;
    std::unique_ptr<CursesMode> mode_;
    int input_;                        // the terminal read from
    std::optional<int> pending_code_;  // a code read past the last one returned, returned next
    bool none_queued_ = false;         // curses was found to hold no key, and none was read since
    bool terminal_gone_ = false;       // see wait_for_code
    CursesPalette palette_;
    CursesView view_;
    Console console_;
};

}  // namespace

std::unique_ptr<Terminal> open_curses_terminal(const char* term_type, std::FILE* out, std::FILE* in, std::string& why,
                                               const StandIns& stand_ins) {
    // The guard comes first, so that curses leaves the signals to it.
    auto guard = std::make_unique<SignalGuard>();
    auto mode = CursesMode::open(term_type, out, in, why);
    if (!mode) return nullptr;
    return std::make_unique<CursesTerminal>(std::move(guard), std::move(mode), fileno(in), stand_ins);
}

std::unique_ptr<Terminal> open_curses_terminal(const StandIns& stand_ins, std::string& why) {
    // Without the environment's locale "C" stays, and control bytes show as stand-ins.
    (void)std::setlocale(LC_ALL, "");
    return open_curses_terminal(nullptr, stdout, stdin, why, stand_ins);
}

}  // namespace skarvel
