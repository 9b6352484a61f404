#include "console/curses_terminal.h"

#include <curses.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "console/curses_mode.h"
#include "console/curses_view.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using namespace std::string_view_literals;
using ::testing::AllOf;
using ::testing::ContainsRegex;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::Throws;

using enum ConsoleColour;

TEST(CursesColours, RedAndBlueSwapBetweenConsoleAndCurses) {
    const Colours white_red{white, light_red};
    EXPECT_EQ(curses_colours(white_red, 256), (CursesColours{COLOR_RED + 8, COLOR_WHITE, false}));
    EXPECT_EQ(curses_colours(white_red, 8), (CursesColours{COLOR_RED, COLOR_WHITE, true}));
    EXPECT_EQ(curses_colours({white, light_blue}, 16), (CursesColours{COLOR_BLUE + 8, COLOR_WHITE, false}));
    EXPECT_EQ(curses_colours({yellow, red}, 8), (CursesColours{COLOR_RED, COLOR_YELLOW, false}));
    EXPECT_EQ(curses_colours({black, white}, 2), std::nullopt);
}

// Nothing is allocated for a text: a longer one is cut.
TEST(Terminal, APrintfTextIsCutAt511Bytes) {
    testing::ScriptedTerminal term;
    term.printf("%s", std::string(600, 'x').c_str());
    EXPECT_EQ(term.output(), std::string(511, 'x'));
}

TEST(CursesView, FollowsTheCursorAsLittleAsPossible) {
    const auto follow = [](int origin, int cursor, int shown, int margin = 0) {
        return follow_cursor({.origin = origin, .cursor = cursor, .shown = shown, .size = 40, .margin = margin});
    };
    EXPECT_EQ(follow(0, 39, 40), 0);      // the whole console fits
    EXPECT_EQ(follow(5, 20, 24), 5);      // still in view: keep
    EXPECT_EQ(follow(5, 30, 24), 7);      // below: just enough to show it
    EXPECT_EQ(follow(10, 3, 24), 3);      // above: up to it
    EXPECT_EQ(follow(20, 39, 24), 16);    // never past the end
    EXPECT_EQ(follow(5, 26, 24, 3), 6);   // three lines below it kept in view
    EXPECT_EQ(follow(10, 12, 24, 3), 9);  // and three above
    EXPECT_EQ(follow(0, 3, 4, 3), 1);     // a narrow view keeps what margin it can
}

// The number after `key` in a /proc file of this process: "syscw:" in "io" counts
// its write() calls, "voluntary_ctxt_switches:" in "task/TID/status" a thread's blocks.
long proc_number(const std::string& file, const std::string& key) {
    std::ifstream in("/proc/self/" + file);
    for (std::string word; in >> word;) {
        if (word == key && in >> word) return std::stol(word);
    }
    return -1;
}

long blocks_of(pid_t tid) { return proc_number("task/" + std::to_string(tid) + "/status", "voluntary_ctxt_switches:"); }

// Waits until thread `tid` has blocked more than `blocks` times (-1: any) and
// waits for a key in poll(), or with `sleeping` in a sleep.
void wait_until_polling(pid_t tid, long blocks = -1, bool sleeping = false) {
    const std::string syscall = "/proc/self/task/" + std::to_string(tid) + "/syscall";
    for (int tries = 0; tries < 10000; ++tries) {
        long now = -1;
        std::ifstream(syscall) >> now;
        const bool in =
            sleeping ? now == SYS_nanosleep || now == SYS_clock_nanosleep : now == SYS_poll || now == SYS_ppoll;
        if (in && blocks_of(tid) > blocks) return;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ADD_FAILURE() << "the terminal never waited";
}

// A curses terminal on a pseudo terminal; the test plays the terminal emulator.
class CursesOnPty : public ::testing::Test {
protected:
    void open(const char* locale, const char* term_type = "xterm-256color", int rows = CONSOLE_ROWS,
              int cols = CONSOLE_COLS) {
        std::setlocale(LC_ALL, locale);
        ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
        set_window(rows, cols);
        in_ = fdopen(slave_, "r");
        out_ = fdopen(dup(slave_), "w");
        std::string why;
        StandIns letters{};  // without UTF-8, control byte b shows as the letter 'A' + b
        for (std::size_t b = 0; b < letters.size(); ++b) letters[b] = static_cast<char>('A' + b);
        term_ = open_curses_terminal(term_type, out_, in_, why, letters);
        ASSERT_TRUE(term_) << why;
        term_->sleep_ms(0);
        started_ = received();
    }

    void TearDown() override { close_all(); }

    void close_all() {
        term_.reset();
        if (master_ >= 0) close(master_);
        if (in_ != nullptr) std::fclose(in_);
        if (out_ != nullptr) std::fclose(out_);
        master_ = -1;
        in_ = out_ = nullptr;
        std::setlocale(LC_ALL, "C");
    }

    void set_window(int rows, int cols) {
        winsize size{};
        size.ws_row = static_cast<unsigned short>(rows);
        size.ws_col = static_cast<unsigned short>(cols);
        ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &size), 0);
    }

    // The window resized, as the terminal tells the game (from any thread).
    void resize(int rows, int cols) {
        set_window(rows, cols);
        pthread_kill(game_thread_, SIGWINCH);
    }

    // What the terminal was sent since the last call (a marker written behind it comes last).
    std::string received() {
        const std::string marker = "\x1b[?skarvel-test-marker]";
        EXPECT_EQ(::write(slave_, marker.data(), marker.size()), static_cast<ssize_t>(marker.size()));
        std::string bytes;
        char buffer[4096];
        pollfd ready{master_, POLLIN, 0};
        while (bytes.find(marker) == std::string::npos && poll(&ready, 1, 5000) > 0) {
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        const std::size_t at = bytes.find(marker);
        EXPECT_NE(at, std::string::npos) << "the output never came";
        return bytes.substr(0, at);
    }

    void type(std::string_view keys) {
        ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Row `row` of the terminal as curses has put it there, without trailing blanks.
    static std::u32string shown(int row) {
        std::u32string text;
        for (int col = 0; col < COLS; ++col) {
            cchar_t cell{};
            wchar_t glyph[CCHARW_MAX + 1] = {};
            attr_t attributes = 0;
            short pair = 0;
            if (mvwin_wch(curscr, row, col, &cell) != OK) break;
            getcchar(&cell, glyph, &attributes, &pair, nullptr);
            text += static_cast<char32_t>(glyph[0]);
        }
        text.erase(text.find_last_not_of(U' ') + 1);
        return text;
    }

    pthread_t game_thread_ = pthread_self();  // the thread the game runs on
    int master_ = -1;
    int slave_ = -1;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    std::unique_ptr<Terminal> term_;
    std::string started_;  // what the terminal was sent as curses started
};

TEST_F(CursesOnPty, ControlBytesShowAsPicturesOrStandInsAndNeverReachTheTerminalRaw) {
    open("C.UTF-8");
    term_->write("A\x1b]2;title\aB\x1b[2J\x01\x0f\x1e|");
    term_->sleep_ms(0);
    std::string shown = received();
    EXPECT_THAT(shown, HasSubstr("A\u2190]2;titleB\u2190[2J\u263A\u263C\u25B2|"));
    EXPECT_THAT(shown, Not(HasSubstr("\x1b]2;")));
    EXPECT_THAT(shown, Not(HasSubstr("\x1b[2J")));
    EXPECT_THAT(shown, HasSubstr("\a"));  // the bell rings
    close_all();

    open("C");
    term_->write("<\x01\x03\x0f\x1b>");
    term_->sleep_ms(0);
    EXPECT_THAT(received(), HasSubstr("<BDP\\>"));
}

// A frame reaches the terminal in one write(), however many lines changed; no change, no write.
TEST_F(CursesOnPty, AFrameIsOneWrite) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer makes write() calls of its own";
#endif
    open("C.UTF-8");
    const auto writes_of = [this](const std::function<void()>& frame) {
        const long before = proc_number("io", "syscw:");
        frame();
        term_->sleep_ms(0);
        return proc_number("io", "syscw:") - before;
    };
    const auto game_screen = [this](char player) {
        term_->clear_screen();
        for (int row = 0; row < 30; ++row) term_->printf("#%118c#\t> Score: %d\n", row == 9 ? player : ' ', row);
    };
    EXPECT_EQ(writes_of([&] { game_screen('@'); }), 1);
    EXPECT_EQ(writes_of([&] { game_screen('!'); }), 1);
    EXPECT_EQ(writes_of([&] { term_->flash_colours({red, grey}); }), 1);
    EXPECT_EQ(writes_of([&] { game_screen('!'); }), 0);
    EXPECT_EQ(writes_of([&] { term_->write("Loading..."), term_->clear_screen(); }), 2);  // shown before the clear
    const std::string shown = received();
    for (const char* line : {"Score: 0", "Score: 29"}) EXPECT_THAT(shown, HasSubstr(line));
}

// A colour change recolours the text shown. Where the terminal clears in the
// current colours (xterm) they are curses' default ones and a frame sends none;
// elsewhere (screen) a frame sets its pair. Without colours (NO_COLOR, or no pair
// to spare) the terminal's own stay, and a flash shows in reverse video.
TEST_F(CursesOnPty, ColoursShowAsTheTerminalAllows) {
    const std::filesystem::path terminfo = std::filesystem::temp_directory_path() / "skarvel-test-terminfo";
    std::filesystem::create_directories(terminfo);
    std::ofstream(terminfo / "one-pair") << "skarvel-one-pair|colours but one pair, use=xterm-256color, pairs#1,\n";
    const std::string tic = "tic -x -o " + terminfo.string() + " " + (terminfo / "one-pair").string() + " 2>/dev/null";
    const bool compiled = std::system(tic.c_str()) == 0;
    ::setenv("TERMINFO", terminfo.c_str(), 1);
    const std::string colour = "\x1b\\[([0-9;]*;)?(3|4|9|10)[0-9](;[0-9;]*)?m";
    const std::string reverse = "\x1b\\[(0;)?7m";
    for (const std::string_view term : {"xterm-256color", "screen-256color", "NO_COLOR", "skarvel-one-pair"}) {
        SCOPED_TRACE(term);
        const bool coloured = term.ends_with("256color");
        if (term == "skarvel-one-pair" && !compiled) continue;
        if (term == "NO_COLOR") ::setenv("NO_COLOR", "1", 1);
        // A small window: without erase in colour a whole window of blanks is sent.
        open("C.UTF-8", term == "NO_COLOR" ? "xterm-256color" : std::string(term).c_str(), 10, 40);
        ::unsetenv("NO_COLOR");
        term_->set_colours({white, light_red});
        term_->write("x");
        term_->sleep_ms(0);
        const std::string first = received();
        EXPECT_THAT(first, Not(ContainsRegex(reverse)));
        term_->write("y");
        term_->sleep_ms(0);
        const std::string frame = received();
        term_->set_colours({blue, bright_white});
        term_->flash_colours({red, grey});
        term_->sleep_ms(0);
        const std::string then = received();
        if (coloured) {
            EXPECT_THAT(first, HasSubstr("\x1b[47m"));
            EXPECT_THAT(first, HasSubstr("\x1b[91m"));
            EXPECT_EQ(::testing::Matches(ContainsRegex("\x1b\\[[0-9;]*m"))(frame), term != "xterm-256color") << frame;
            EXPECT_THAT(then, HasSubstr("\x1b[41m"));
            EXPECT_THAT(then, HasSubstr("\x1b[90m"));
            EXPECT_THAT(then, HasSubstr("xy"));
        } else {
            EXPECT_THAT(first + frame + then, Not(ContainsRegex(colour)));
            EXPECT_THAT(then, ContainsRegex(reverse));
        }
        close_all();
    }
    ::unsetenv("TERMINFO");
    std::filesystem::remove_all(terminfo);
    // 8 colours and bce: a flash needing bold takes a pair; the scheme, still
    // curses' default colours, comes back without clearing the terminal.
    open("C.UTF-8", "xterm", 10, 40);
    term_->set_colours({black, white});
    term_->write("x");
    term_->flash_colours({red, grey});
    term_->sleep_ms(0);
    EXPECT_THAT(received(), AllOf(HasSubstr("\x1b[41m"), HasSubstr("\x1b[0;1m")));
    term_->set_colours({black, white});
    term_->sleep_ms(0);
    EXPECT_THAT(received(), AllOf(HasSubstr("x"), Not(HasSubstr("\x1b[2J"))));
}

TEST_F(CursesOnPty, TheNumpadMovesAndNoOtherSequenceActsAsItsLetters) {
    // What a terminal sends for arrows, the numpad, Ctrl, Alt, function keys and
    // Esc, under descriptions naming some of them: none of their letters acts.
    const Key up{Key::Kind::up}, down{Key::Kind::down}, left{Key::Kind::left}, right{Key::Kind::right};
    const Key other{Key::Kind::other};
    for (const std::string term_type : {"xterm-256color", "tmux-256color", "screen-256color", "vt100"}) {
        SCOPED_TRACE(term_type);
        std::vector<Key> expected = {up, down, left, right, up};
        expected.insert(expected.end(), 8, other);
        // DEL is Backspace where the description says so, else itself.
        expected.insert(expected.end(), {term_type == "vt100" ? Key::of(127) : other, other, Key::of(27)});
        open("C.UTF-8", term_type.c_str());
        type(
            "\x1bOx\x1bOr\x1bOt\x1bOv"    // numpad 8, 2, 4, 6
            "\x1bOA\x1b[6~"               // up, PageDown
            "\x1bOq\x1bOM\x1bOP"          // numpad 1, numpad Enter, F1
            "\x1b[1;5A\x1b[1;3B\x1b[15~"  // Ctrl-Up, Alt-Down, F5
            "\x1b[2\x7f"                  // broken off by DEL, which no sequence ends with
            "\x1b[1;"                     // broken off by the next key:
            "\x1bq\x1b[@Q\xff\0\x1b"sv);  // Esc then q; a CSI ending in @, Q, byte 255, NUL, a lone Esc
        std::vector<Key> keys;
        for (Key key = term_->read_key(); key != Key::of('q'); key = term_->read_key()) keys.push_back(key);
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(term_->read_key(), other);
        EXPECT_EQ(term_->read_key(), Key::of('Q'));
        EXPECT_EQ(term_->read_key(), Key::of(255));
        EXPECT_EQ(term_->read_key(), Key::of(0));
        EXPECT_EQ(term_->read_key(), Key::of(27));
        std::string line;  // a typed line ends with Enter, the numpad's too
        type(
            "1x\x7f"
            "2\x1bOM");
        EXPECT_TRUE(term_->read_line(line));
        EXPECT_EQ(line, "12\n");
        close_all();
    }
}

// However large the window, curses is never sized beyond the console and its
// status line, so a huge window costs no more than 150x40.
TEST_F(CursesOnPty, CursesIsNeverLargerThanTheConsole) {
    open("C.UTF-8", "xterm-256color", 32768, 40000);
    EXPECT_EQ(LINES, CONSOLE_ROWS + 1);
    EXPECT_EQ(COLS, CONSOLE_COLS);
    resize(65535, 65535);
    term_->write("still here");
    term_->sleep_ms(0);
    EXPECT_EQ(LINES, CONSOLE_ROWS + 1);
    EXPECT_EQ(COLS, CONSOLE_COLS);
    EXPECT_THAT(received(), HasSubstr("still here"));
    resize(24, 80);
    term_->sleep_ms(0);
    EXPECT_EQ(LINES, 24);
    EXPECT_EQ(COLS, 80);
    resize(24, 100);
    term_->sleep_ms(0);
    EXPECT_EQ(COLS, 100);
    close_all();
    open("C.UTF-8", "xterm-256color", 1, 80);  // one row is a size too
    EXPECT_EQ(LINES, 1);
    close_all();
    const std::size_t in_use = mallinfo2().uordblks;  // curses' memory is freed at the end
    open("C.UTF-8");
    close_all();
    EXPECT_LT(mallinfo2().uordblks, in_use + 100'000);
}

// curses starts at the window's own size (capped), never at the description's
// 24 lines: its scroll region is the window's, set back to the whole of a taller
// window at the end. LINES and COLUMNS are left as they were.
TEST_F(CursesOnPty, TheScrollRegionIsTheWindows) {
    ::setenv("LINES", "7", 1);
    const struct {
        int rows, cols;
        const char* region;  // set as curses starts
        const char* at_end;  // after it has restored the terminal
    } cases[] = {{40, 150, "\x1b[1;40r", ""},
                 {30, 80, "\x1b[1;30r", ""},
                 {60, 200, "\x1b[1;41r",
                  "\x1b"
                  "7\x1b[1;60r\x1b"
                  "8"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region);
        open("C.UTF-8", "vt100", c.rows, c.cols);
        EXPECT_THAT(started_, HasSubstr(c.region));
        EXPECT_THAT(started_, Not(HasSubstr("\x1b[1;24r")));
        term_.reset();
        const std::string ended = received();
        EXPECT_THAT(ended, ::testing::EndsWith(c.at_end));
        EXPECT_EQ(ended.find("\0337") != std::string::npos, *c.at_end != '\0');  // ESC 7: set back only there
        close_all();
        EXPECT_STREQ(std::getenv("LINES"), "7");
        EXPECT_EQ(std::getenv("COLUMNS"), nullptr);
    }
    ::unsetenv("LINES");
}

// A narrow terminal shows the columns that hold the cursor, moving as little as it can.
TEST_F(CursesOnPty, ANarrowViewFollowsTheCursorAcross) {
    open("C.UTF-8", "xterm-256color", 24, 80);
    std::string line;
    for (int col = 0; col < 130; ++col) line += static_cast<char>('0' + col % 10);
    term_->write(line.substr(0, 70));
    term_->mark_cursor();
    term_->write(line.substr(70) + "\n");
    term_->sleep_ms(0);
    EXPECT_EQ(shown(0), std::u32string(line.begin(), line.begin() + 80));  // col 70 fits: no move
    term_->clear_screen();
    term_->write(line.substr(0, 100));
    term_->mark_cursor();
    term_->write(line.substr(100) + "\n");
    term_->sleep_ms(0);  // col 100 and the 8 after it in view
    EXPECT_EQ(shown(0), std::u32string(line.begin() + 29, line.begin() + 109));
    term_->clear_screen();
    term_->write("ab" + line.substr(2, 98));  // the view stays; only its first cells change
    term_->mark_cursor();
    term_->write(line.substr(100) + "\n");
    term_->sleep_ms(0);
    EXPECT_EQ(shown(0), std::u32string(line.begin() + 29, line.begin() + 109));
    term_->clear_screen();
    for (int row = 0; row < 30; ++row) {
        if (row == 25) term_->mark_cursor();
        term_->printf("%d\n", row);
    }
    term_->sleep_ms(0);
    EXPECT_EQ(shown(0), U"5");  // down to the marked row and the 3 below it
}

// The status line takes the last row where the console does not fit, in the longest
// form that fits, and goes with its screen.
TEST_F(CursesOnPty, TheStatusLineShowsOnATerminalSmallerThanTheConsole) {
    const struct {
        int rows, cols;
        int status_row;  // -1: not shown
    } cases[] = {{24, 80, 23}, {40, 149, 39}, {60, 100, 40}, {40, CONSOLE_COLS, -1}, {8, 11, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        open("C.UTF-8", "xterm-256color", c.rows, c.cols);
        term_->write("field");
        const std::string_view forms[] = {"Score: 5 \x0f 9", "S5 \x0f 9"};
        term_->set_status(forms);
        term_->sleep_ms(0);
        EXPECT_EQ(shown(0), U"field");
        for (int row = 1; row < LINES; ++row) {
            const std::u32string status = c.cols < 12 ? U"S5 \u263C 9" : U"Score: 5 \u263C 9";
            EXPECT_EQ(shown(row), row == c.status_row ? status : U"") << row;
        }
        term_->clear_screen();
        term_->sleep_ms(0);
        for (int row = 0; row < LINES; ++row) EXPECT_EQ(shown(row), U"") << "after the clear, row " << row;
        close_all();
    }
}

// A screen taller than the view: a key typed ahead goes to the screen; one pressed
// once it waits scrolls, back to lines scrolled off the console, after resizes
// too, never past the text's end. Where the console fits, keys go to the screen.
TEST_F(CursesOnPty, AScreenTallerThanTheViewScrollsOnceWritten) {
    for (const int rows : {24, CONSOLE_ROWS}) {
        SCOPED_TRACE(rows);
        const bool smaller = rows < CONSOLE_ROWS;
        open("C.UTF-8", "xterm-256color", rows, smaller ? 80 : CONSOLE_COLS);
        const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz01234567";
        for (const char letter : letters) term_->printf("%s\n", std::string(8, letter).c_str());  // 60 lines
        type("\x1bOB");                                                                           // Down, typed ahead
        // Each step once the last was taken; the screen as each left it.
        std::vector<std::function<void()>> steps = {[&] { type("\x1bOH"); }, [&] { type("b"); }};  // Home, b
        if (smaller) {
            steps.insert(steps.begin() + 1, {[&] { resize(30, 80); }, [&] { type("\x1bOF"); },     // End
                                             [&] { resize(24, 80); }, [&] { type("\x1bOH"); },     // Home
                                             [&] { type("\x1b[6~"); }, [&] { type("\x1b[B"); },    // PageDown, Down
                                             [&] { type("\x1b[5~"); }, [&] { type("\x1b[A"); }});  // PageUp, Up
        }
        std::vector<std::vector<std::u32string>> screens;
        std::thread player([&, reader = static_cast<pid_t>(::syscall(SYS_gettid))] {
            long blocks = -1;
            for (const auto& step : steps) {
                wait_until_polling(reader, blocks);
                std::vector<std::u32string>& screen = screens.emplace_back();
                for (int row = 0; row < LINES; ++row) screen.push_back(shown(row));
                blocks = blocks_of(reader);
                step();
            }
        });
        EXPECT_EQ(term_->read_key(), Key{Key::Kind::down});
        EXPECT_EQ(term_->read_key(), smaller ? Key::of('b') : Key{Key::Kind::other});
        if (!smaller) {
            EXPECT_EQ(term_->read_key(), Key::of('b'));
        }
        player.join();
        if (smaller) {
            ASSERT_EQ(screens.size(), 10u);
            EXPECT_EQ(screens[1][0], U"AAAAAAAA");  // Home: the first line, scrolled off the console
            EXPECT_EQ(screens[2][0], U"AAAAAAAA") << "a resize keeps the place scrolled to";
            EXPECT_EQ(screens[3][28], U"77777777") << "End: the text's end at the foot of the view";
            EXPECT_EQ(screens[3][29], U"");
            EXPECT_EQ(screens[5][0], U"AAAAAAAA") << "Home after resizes";
            EXPECT_EQ(screens[6][0], U"XXXXXXXX") << "PageDown: the view's last line at its top";
            EXPECT_EQ(screens[7][0], U"YYYYYYYY") << "Down";
            EXPECT_EQ(screens[8][0], U"BBBBBBBB") << "PageUp";
            EXPECT_EQ(screens[9][0], U"AAAAAAAA") << "Up";
        }
        close_all();
    }
}

// The handler of each signal while the terminal is open.
std::vector<void (*)(int)> handlers() {
    std::vector<void (*)(int)> all;
    for (const int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGWINCH}) {
        struct sigaction now {};
        sigaction(signal, nullptr, &now);
        all.push_back(now.sa_handler);
    }
    return all;
}

// Every signal is caught while the terminal is open (under nohup too); Ctrl-Z stays ignored where it was.
TEST_F(CursesOnPty, ASignalEndsABlockedReadAndItsHandlerIsRestored) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction hangup {};
    sigaction(SIGHUP, &ignore, &hangup);
    const auto before = handlers();
    open("C.UTF-8");
    const auto during = handlers();
    for (std::size_t i = 0; i < during.size(); ++i) {
        const bool stop_ignored = i == 4 && before[i] == SIG_IGN;
        EXPECT_EQ(during[i], stop_ignored ? SIG_IGN : during[0]) << "signal " << i;
    }
    EXPECT_NE(during[0], before[0]);

    std::thread interrupter([reader = pthread_self(), tid = static_cast<pid_t>(::syscall(SYS_gettid))] {
        wait_until_polling(tid);
        pthread_kill(reader, SIGINT);
    });
    EXPECT_THAT([&] { term_->read_key(); }, Throws<RunEnded>(AllOf(Field(&RunEnded::cause, RunEnded::Cause::signal),
                                                                   Field(&RunEnded::signal, SIGINT))));
    interrupter.join();
    EXPECT_THROW(term_->sleep_ms(10), RunEnded);

    term_.reset();
    EXPECT_EQ(handlers(), before);
    sigaction(SIGHUP, &hangup, nullptr);
}

// A game stopped by Ctrl-Z under a shell of its own on a pseudo terminal, which
// brings it back (fg) or takes the terminal and sends SIGTERM (kill %1); with
// `taken_first` it takes the terminal before the game restores it, as where the
// script that started the game stops first. 0 when the game restored the terminal
// at the stop and at its end; else the number of what went wrong.
int stop_and_continue(bool end_while_stopped, bool taken_first = false) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return 1;
    const pid_t shell = ::fork();
    if (shell == 0) {
        ::setsid();
        ::ioctl(slave, TIOCSCTTY, 0);
        ::signal(SIGTTOU, SIG_IGN);
        termios before{};
        termios now{};
        tcgetattr(slave, &before);
        const pid_t game = ::fork();
        if (game == 0) {
            ::setpgid(0, 0);
            ::signal(SIGTTOU, SIG_DFL);
            while (tcgetpgrp(slave) != getpgrp()) ::usleep(1000);
            std::FILE* tty = ::fdopen(slave, "r+");
            std::string why;
            auto term = open_curses_terminal("xterm-256color", tty, tty, why);
            if (taken_first) std::raise(SIGSTOP);  // for the shell to take the terminal
            std::raise(SIGTSTP);                   // as Ctrl-Z: taken at the next wait
            try {
                term->sleep_ms(0);
            } catch (const RunEnded& ended) {
                ::_exit(ended.signal == SIGTERM ? 3 : 4);
            }
            term.reset();
            ::_exit(0);
        }
        ::setpgid(game, game);
        ::tcsetpgrp(slave, game);
        int status = 0;
        if (taken_first && ::waitpid(game, &status, WUNTRACED) == game) {
            ::tcsetpgrp(slave, getpgrp());
            ::kill(game, SIGCONT);
        }
        if (::waitpid(game, &status, WUNTRACED) != game || !WIFSTOPPED(status)) ::_exit(10);
        if (tcgetattr(slave, &now) != 0 || now.c_lflag != before.c_lflag) ::_exit(11);
        ::tcsetpgrp(slave, end_while_stopped ? getpgrp() : game);
        if (end_while_stopped) ::kill(game, SIGTERM);
        ::kill(game, SIGCONT);
        const bool ended = ::waitpid(game, &status, WUNTRACED) == game && WIFEXITED(status);
        if (!ended) ::kill(game, SIGKILL);
        if (!ended || WEXITSTATUS(status) != (end_while_stopped ? 3 : 0)) ::_exit(12);
        ::_exit(tcgetattr(slave, &now) != 0 || now.c_lflag != before.c_lflag ? 13 : 0);
    }
    int status = -1;
    ::waitpid(shell, &status, 0);
    close(slave);
    close(master);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(CursesSuspend, CtrlZGivesTheTerminalBackUntilTheGameGoesOnOrEnds) {
    EXPECT_EQ(stop_and_continue(false), 0);
    EXPECT_EQ(stop_and_continue(true), 0);
    EXPECT_EQ(stop_and_continue(false, true), 0);
}

// A sleep lasts its time, also when a resize interrupts it once it has begun.
TEST_F(CursesOnPty, ASleepLastsItsTimeThroughAResize) {
    open("C.UTF-8");
    std::thread resizer([reader = pthread_self(), tid = static_cast<pid_t>(::syscall(SYS_gettid))] {
        wait_until_polling(tid, -1, true);
        pthread_kill(reader, SIGWINCH);
    });
    const auto began = std::chrono::steady_clock::now();
    term_->sleep_ms(200);
    const auto slept = std::chrono::steady_clock::now() - began;
    resizer.join();
    EXPECT_GE(slept, std::chrono::milliseconds(200));
}

extern "C" void __lsan_disable() __attribute__((weak));  // NOLINT(bugprone-reserved-identifier): the sanitizer's
extern "C" void __lsan_enable() __attribute__((weak));   // NOLINT(bugprone-reserved-identifier)

// A start refused says why, whatever the standard streams and TERM are.
TEST_F(CursesOnPty, ARefusedStartSaysWhy) {
    // curses keeps what it set up for a terminal it then refuses: the game exits at once, and LSan is told.
    if (__lsan_disable != nullptr) __lsan_disable();
    ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
    in_ = fdopen(slave_, "r+");
    out_ = std::fopen("/dev/null", "r+");
    const struct {
        const char* term;
        std::FILE *in, *out;
        const char* why;
    } cases[] = {{"xterm", out_, in_, "standard input is not a terminal"},
                 {"xterm", in_, out_, "standard output is not a terminal"},
                 {"", in_, in_, "TERM is not set"},
                 {"dumb", in_, in_, "terminal type \"dumb\" cannot move the cursor or clear the screen"},
                 {"no-such-terminal", in_, in_, "unknown terminal type \"no-such-terminal\""}};
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(open_curses_terminal(c.term, c.out, c.in, why, {}), nullptr);
        EXPECT_EQ(why, c.why);
    }
    if (__lsan_enable != nullptr) __lsan_enable();
}

TEST_F(CursesOnPty, ATerminalThatGoesAwayEndsTheRun) {
    open("C.UTF-8");
    close(master_);
    master_ = -1;
    EXPECT_THAT([&] { term_->read_key(); }, Throws<RunEnded>(Field(&RunEnded::cause, RunEnded::Cause::terminal_gone)));
}

}  // namespace
}  // namespace skarvel
