#include "console/curses_terminal.h"

#include <curses.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <thread>
#include <vector>

#include "console/curses_colours.h"
#include "console/curses_keys.h"
#include "console/curses_view.h"

namespace skarvel {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

using enum ConsoleColour;

TEST(CursesKeys, ArrowsHaveNamesAndOtherKeysWithoutACharacterAreAlike) {
    EXPECT_EQ(key_of(KEY_UP), Key{Key::Kind::up});
    EXPECT_EQ(key_of(KEY_DOWN), Key{Key::Kind::down});
    EXPECT_EQ(key_of(KEY_LEFT), Key{Key::Kind::left});
    EXPECT_EQ(key_of(KEY_RIGHT), Key{Key::Kind::right});
    // On the console PageDown and Insert sent 'Q' (quit) and 'R' (restart) after a prefix.
    for (const int key : {KEY_NPAGE, KEY_IC, KEY_PPAGE, KEY_HOME, KEY_END, KEY_DC, KEY_F(1), KEY_ENTER}) {
        EXPECT_EQ(key_of(key), Key{Key::Kind::other}) << key;
    }
    EXPECT_EQ(key_of(KEY_RESIZE), std::nullopt);
    EXPECT_EQ(key_of('q'), Key::of('q'));
    EXPECT_EQ(key_of(0), Key::of(0));
    EXPECT_EQ(key_of(255), Key::of(255));
}

TEST(CursesColours, RedAndBlueSwapBetweenConsoleAndCurses) {
    const Colours white_red{white, light_red};
    EXPECT_EQ(curses_colours(white_red, 256), (CursesColours{COLOR_RED + 8, COLOR_WHITE, false}));
    EXPECT_EQ(curses_colours(white_red, 8), (CursesColours{COLOR_RED, COLOR_WHITE, true}));
    EXPECT_EQ(curses_colours({white, light_blue}, 16), (CursesColours{COLOR_BLUE + 8, COLOR_WHITE, false}));
    EXPECT_EQ(curses_colours({yellow, red}, 8), (CursesColours{COLOR_RED, COLOR_YELLOW, false}));
    EXPECT_EQ(curses_colours({black, white}, 2), std::nullopt);
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
    EXPECT_EQ(follow(0, 38, 24, 3), 16);  // but never past the end
    EXPECT_EQ(follow(0, 3, 4, 3), 1);     // a narrow view keeps what margin it can
}

// A curses terminal on the slave side of a pseudo terminal; the test plays
// the terminal emulator on the master side.
class CursesOnPty : public ::testing::Test {
protected:
    void open(const char* locale, const char* term_type = "xterm-256color", int rows = CONSOLE_LINES,
              int cols = CONSOLE_COLS) {
        std::setlocale(LC_ALL, locale);
        winsize size{};
        size.ws_row = static_cast<unsigned short>(rows);
        size.ws_col = static_cast<unsigned short>(cols);
        ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
        in_ = fdopen(slave_, "r");
        out_ = fdopen(dup(slave_), "w");
        std::string why;
        term_ = open_curses_terminal(term_type, out_, in_, why);
        ASSERT_TRUE(term_) << why;
        term_->sleep_ms(0);
        received();  // the first paint
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

    // Everything the terminal has been sent since the last call.
    std::string received() {
        std::string bytes;
        char buffer[4096];
        pollfd ready{master_, POLLIN, 0};
        while (poll(&ready, 1, 50) > 0) {
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }

    void type(std::string_view keys) {
        ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    int master_ = -1;
    int slave_ = -1;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    std::unique_ptr<Terminal> term_;
};

TEST_F(CursesOnPty, ControlBytesShowAsPicturesAndNeverReachTheTerminalRaw) {
    open("C.UTF-8");
    term_->write("A\x1b]2;title\aB\x1b[2J\x01\x0f\x1e|");
    term_->sleep_ms(0);
    const std::string shown = received();
    EXPECT_THAT(shown, HasSubstr("A\u2190]2;titleB\u2190[2J\u263A\u263C\u25B2|"));
    EXPECT_THAT(shown, Not(HasSubstr("\x1b]2;")));
    EXPECT_THAT(shown, Not(HasSubstr("\x1b[2J")));
    EXPECT_THAT(shown, HasSubstr("\a"));  // the bell rings, after the text
}

TEST_F(CursesOnPty, WithoutUtf8GlyphBytesShowPlainStandIns) {
    open("C");
    term_->write("<\x01\x03\x0f\x1b>");
    term_->sleep_ms(0);
    EXPECT_THAT(received(), HasSubstr("<@$*?>"));
}

TEST_F(CursesOnPty, AClearForgetsAnUnfinishedCharacter) {
    open("C.UTF-8");
    term_->write("\xe2");
    term_->clear_screen();
    term_->write("G");
    term_->sleep_ms(0);
    const std::string shown = received();
    EXPECT_THAT(shown, HasSubstr("G"));
    EXPECT_THAT(shown, Not(HasSubstr("\xe2")));
}

// The same text with the mark on another cell: only the cursor moves, and
// it must still reach the terminal.
TEST_F(CursesOnPty, AMarkMovedAloneStillMovesTheCursor) {
    open("C.UTF-8");
    const auto frame = [this](std::size_t mark_at) {
        const std::string text = "abc\ndef";
        term_->clear_screen();
        term_->write(text.substr(0, mark_at));
        term_->mark_cursor();
        term_->write(text.substr(mark_at));
        term_->sleep_ms(0);
        return received();
    };
    frame(1);
    const std::string moved = frame(5);
    EXPECT_FALSE(moved.empty());
    EXPECT_THAT(moved, Not(HasSubstr("abc")));
    term_->unmark_cursor();
    term_->sleep_ms(0);
    EXPECT_FALSE(received().empty());  // back where the text ends
}

TEST_F(CursesOnPty, AColourChangeRecoloursTheTextAlreadyShown) {
    open("C.UTF-8");
    term_->set_colours({white, light_red});
    term_->write("x");
    term_->sleep_ms(0);
    const std::string first = received();
    EXPECT_THAT(first, HasSubstr("\x1b[47m"));
    EXPECT_THAT(first, HasSubstr("\x1b[91m"));
    term_->set_colours({blue, bright_white});
    term_->sleep_ms(0);
    const std::string second = received();
    EXPECT_THAT(second, HasSubstr("\x1b[44m"));
    EXPECT_THAT(second, HasSubstr("\x1b[97m"));
    EXPECT_THAT(second, HasSubstr("x"));
}

// Without colours a flash shows in reverse video, and only a flash does.
TEST_F(CursesOnPty, WithNoColorOnlyAFlashShowsInReverse) {
    ::setenv("NO_COLOR", "1", 1);
    open("C.UTF-8");
    ::unsetenv("NO_COLOR");
    term_->set_colours({white, light_red});
    term_->write("x");
    term_->sleep_ms(0);
    const std::string reverse = "\x1b\\[(0;)?7m";
    EXPECT_THAT(received(), Not(ContainsRegex(reverse)));
    term_->flash_colours({red, grey});
    term_->sleep_ms(0);
    EXPECT_THAT(received(), ContainsRegex(reverse));
}

// Every line written reaches the terminal, however many changed at once.
TEST_F(CursesOnPty, EveryChangedLineIsShown) {
    open("C.UTF-8");
    term_->write("first\nsecond\nthird\nfourth\n\nsixth");
    term_->sleep_ms(0);
    const std::string shown = received();
    for (const char* line : {"first", "second", "third", "fourth", "sixth"}) EXPECT_THAT(shown, HasSubstr(line));
}

TEST_F(CursesOnPty, KeysArriveByName) {
    open("C.UTF-8");
    type(
        "\x1bOA"
        "\x1b[6~"
        "q");  // up, PageDown, q
    EXPECT_EQ(term_->read_key(), Key{Key::Kind::up});
    EXPECT_EQ(term_->read_key(), Key{Key::Kind::other});
    EXPECT_EQ(term_->read_key(), Key::of('q'));
}

// What a terminal sends for the numpad (its application keypad on), for Ctrl,
// Alt or a function key, and for Esc, under descriptions that name some of
// these sequences and not others: none of their letters acts.
TEST_F(CursesOnPty, TheNumpadMovesAndNoOtherSequenceActsAsItsLetters) {
    const Key other{Key::Kind::other};
    const std::vector<Key> expected = {Key{Key::Kind::up},
                                       Key{Key::Kind::down},
                                       Key{Key::Kind::left},
                                       Key{Key::Kind::right},
                                       other,
                                       other,
                                       other,
                                       other,
                                       other,
                                       other,
                                       other,
                                       Key::of(27)};
    for (const char* term_type : {"xterm-256color", "tmux-256color", "screen-256color"}) {
        SCOPED_TRACE(term_type);
        open("C.UTF-8", term_type);
        type(
            "\x1bOx\x1bOr\x1bOt\x1bOv"    // numpad 8, 2, 4, 6
            "\x1bOq\x1bOM\x1bOP"          // numpad 1, numpad Enter, F1
            "\x1b[1;5A\x1b[1;3B\x1b[15~"  // Ctrl-Up, Alt-Down, F5
            "\x1b[1;"                     // broken off by the next key:
            "\x1bqQ\x1b");                // Esc then q; a lone Esc after Q
        std::vector<Key> keys;
        for (Key key = term_->read_key(); key != Key::of('q'); key = term_->read_key()) keys.push_back(key);
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(term_->read_key(), Key::of('Q'));
        EXPECT_EQ(term_->read_key(), Key::of(27));
        close_all();
    }
}

// The status line takes the last row only where the console does not fit.
TEST_F(CursesOnPty, TheStatusLineShowsOnATerminalSmallerThanTheConsole) {
    const struct {
        int rows, cols;
        bool shown;
    } cases[] = {{24, 80, true}, {40, 149, true}, {40, CONSOLE_COLS, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        open("C.UTF-8", "xterm-256color", c.rows, c.cols);
        term_->write("field");
        term_->set_status("Score: 5 \x0f 9");
        term_->sleep_ms(0);
        const std::string shown = received();
        EXPECT_THAT(shown, HasSubstr("field"));
        EXPECT_EQ(shown.find("Score: 5 \u263C 9") != std::string::npos, c.shown);
        close_all();
    }
}

// On a screen taller than the view, a key typed during the writing still
// goes to the screen; one pressed once it waits scrolls, back to the lines
// that scrolled off the console. Where the console fits, every key goes to
// it. (A last key keeps a wrong read from waiting.)
TEST_F(CursesOnPty, AScreenTallerThanTheViewScrollsOnceWritten) {
    for (const int rows : {24, CONSOLE_LINES}) {
        SCOPED_TRACE(rows);
        open("C.UTF-8", "xterm-256color", rows, rows < CONSOLE_LINES ? 80 : CONSOLE_COLS);
        const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrs";
        for (const char letter : letters) term_->printf("%s\n", std::string(8, letter).c_str());  // 45 lines
        type("\x1bOB");                                                                           // Down
        std::thread player([this] {
            for (const char* key : {"\x1bOH", "b", "z"}) {  // Home, B, the last key
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                type(key);
            }
        });
        EXPECT_EQ(term_->read_key(), Key{Key::Kind::down});
        received();
        if (rows < CONSOLE_LINES) {
            EXPECT_EQ(term_->read_key(), Key::of('b'));
            EXPECT_THAT(received(), HasSubstr("AAAAAAAA"));  // the first line, scrolled off the console
        } else {
            EXPECT_EQ(term_->read_key(), Key{Key::Kind::other});
            EXPECT_EQ(term_->read_key(), Key::of('b'));
        }
        player.join();
        close_all();
    }
}

TEST_F(CursesOnPty, TypedLinesAreEditedAndControlKeysIgnored) {
    open("C.UTF-8");
    type(
        "12x\x7f"
        "\x04\x0c"
        "3\n");  // Backspace; Ctrl-D and Ctrl-L are no part of a line
    std::string line;
    EXPECT_TRUE(term_->read_line(line));
    EXPECT_EQ(line, "123\n");
}

// The handler of each signal while the terminal is open.
std::vector<void (*)(int)> handlers() {
    std::vector<void (*)(int)> all;
    for (const int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP}) {
        struct sigaction now {};
        sigaction(signal, nullptr, &now);
        all.push_back(now.sa_handler);
    }
    return all;
}

TEST_F(CursesOnPty, ASignalEndsABlockedReadAndItsHandlerIsGivenBack) {
    const auto before = handlers();
    open("C.UTF-8");
    const auto during = handlers();
    for (std::size_t i = 0; i < during.size(); ++i) {
        const bool stop_ignored = i == during.size() - 1 && before[i] == SIG_IGN;  // stays ignored
        if (!stop_ignored) {
            EXPECT_NE(during[i], before[i]) << "signal " << i << " not caught";
        }
    }

    // Interrupt the read; should the read go on, a key ends it rather than a hang.
    std::atomic<bool> done = false;
    std::thread interrupter([this, &done, reader = pthread_self()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pthread_kill(reader, SIGINT);
        for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) type("z");
    });
    int ended_by = -1;
    try {
        term_->read_key();
    } catch (const RunEnded& ended) {
        ended_by = ended.signal;
    }
    done = true;
    interrupter.join();
    EXPECT_EQ(ended_by, SIGINT);
    EXPECT_THROW(term_->sleep_ms(10), RunEnded);

    term_.reset();
    EXPECT_EQ(handlers(), before);
}

// A sleep lasts its time, also when a resize interrupts it.
TEST_F(CursesOnPty, ASleepLastsItsTimeThroughAResize) {
    open("C.UTF-8");
    std::thread resizer([reader = pthread_self()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pthread_kill(reader, SIGWINCH);
    });
    const auto began = std::chrono::steady_clock::now();
    term_->sleep_ms(150);
    const auto slept = std::chrono::steady_clock::now() - began;
    resizer.join();
    EXPECT_GE(slept, std::chrono::milliseconds(150));
    EXPECT_LT(slept, std::chrono::seconds(5));
}

TEST_F(CursesOnPty, ATerminalThatGoesAwayEndsTheRun) {
    open("C.UTF-8");
    close(master_);
    master_ = -1;
    try {
        term_->read_key();
        ADD_FAILURE() << "read_key returned";
    } catch (const RunEnded& ended) {
        EXPECT_EQ(ended.signal, 0);
    }
}

}  // namespace
}  // namespace skarvel
