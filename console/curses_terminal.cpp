#include "console/curses_terminal.h"

#include <curses.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <ctime>

#include "console/curses_keys.h"
#include "console/curses_screen.h"
#include "console/curses_view.h"
#include "console/line_editor.h"
#include "console/screen_buffer.h"
#include "console/signals.h"

namespace skarvel {

namespace {

// Ctrl-L: the whole terminal drawn anew, on every screen; no key of the game.
constexpr int CTRL_L = 12;

// True when the current locale encodes text in UTF-8.
bool utf8_locale() {
    const std::string_view codeset = nl_langinfo(CODESET);
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
}

// The game's console on a curses screen. Output collects in the screen
// buffer and reaches the terminal at every clear, colour change, key read
// and sleep.
class CursesTerminal final : public Terminal {
public:
    CursesTerminal(std::unique_ptr<SignalGuard> guard, std::unique_ptr<CursesScreen> screen, int input)
        : guard_(std::move(guard)), screen_(std::move(screen)), keys_(input), console_(utf8_locale()) {}

    void write(std::string_view bytes) override { console_.write(bytes); }

    void clear_screen() override {
        show();
        console_.clear();  // the next show sends only what differs
        view_.go_home();
    }

    void set_colours(Colours colours) override {
        show();
        view_.set_colours(palette_.cell_colours(colours, false));
    }

    void flash_colours(Colours colours) override {
        show();
        view_.set_colours(palette_.cell_colours(colours, true));
    }

    // The terminal keeps its size: the view shows what fits.
    void size_window() override { show(); }

    void mark_cursor() override { console_.mark(); }
    void unmark_cursor() override { console_.clear_mark(); }
    void set_status(std::string_view line) override { console_.set_status(line); }

    // A key already waiting when the read begins was typed while the screen
    // was still being written: it goes to the screen as it is. Later ones
    // scroll a screen taller than the view, where they are scroll keys.
    Key read_key() override {
        bool typed_ahead = keys_.key_waiting();
        for (;;) {
            const int code = next_code();
            if (!typed_ahead && view_.take_scroll_key(console_, code)) continue;
            return key_of(code);
        }
    }

    // Shows the console, then sleeps; a resize does not cut the sleep short.
    void sleep_ms(std::uint32_t ms) override {
        show();
        timespec left{};
        left.tv_sec = static_cast<std::time_t>(ms / 1000);
        left.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000L;
        for (;;) {
            notice_signals();
            if (nanosleep(&left, &left) == 0 || errno != EINTR) return;
        }
    }

    std::int64_t seconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }

    // A line ends only with Enter: the terminal has no end of input to give.
    bool read_line(std::string& line) override {
        LineEditor editor(console_, line);
        while (!editor.take(next_code())) {
        }
        return true;
    }

private:
    // Puts the console on the terminal and rings a pending bell.
    void show() {
        view_.show(console_);
        if (console_.take_bell()) beep();
    }

    // An end signal ends the run. After Ctrl-Z and the resume, and after a
    // resize, the whole terminal is drawn anew at the window's size.
    void notice_signals() {
        SignalGuard::end_run_if_signalled();
        const bool stopped = SignalGuard::take_stop_request();
        if (stopped) screen_->suspend();
        if (SignalGuard::take_resize() || stopped) {
            screen_->fit_window();
            view_.repaint();
            show();
        }
    }

    // The next curses key code, the console shown first. Ctrl-L repaints and
    // reads on; a signal or a terminal that has gone ends the run.
    int next_code() {
        for (;;) {
            show();
            notice_signals();
            const int c = keys_.read();
            if (c == CTRL_L) {
                view_.repaint();
            } else if (c != ERR) {
                return c;
            } else if (keys_.terminal_gone()) {
                SignalGuard::end_run_if_signalled();
                throw RunEnded{RunEnded::Cause::terminal_gone};
            }
        }
    }

    // Destroyed in reverse: the terminal is given back before the signal
    // handlers are.
    std::unique_ptr<SignalGuard> guard_;
    std::unique_ptr<CursesScreen> screen_;
    CursesPalette palette_;
    CursesKeyReader keys_;
    CursesView view_;
    ScreenBuffer console_;  // the console as written
};

}  // namespace

std::unique_ptr<Terminal> open_curses_terminal(const char* term_type, std::FILE* out, std::FILE* in, std::string& why) {
    // The guard comes first, so that curses leaves the signals to it.
    auto guard = std::make_unique<SignalGuard>();
    auto screen = CursesScreen::open(term_type, out, in, why);
    if (!screen) return nullptr;
    return std::make_unique<CursesTerminal>(std::move(guard), std::move(screen), fileno(in));
}

std::unique_ptr<Terminal> open_curses_terminal(std::string& why) {
    // Without the environment's locale "C" stays, and the pictures show as plain stand-ins.
    (void)std::setlocale(LC_ALL, "");
    return open_curses_terminal(nullptr, stdout, stdin, why);
}

}  // namespace skarvel
