#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "screens/screens.h"
#include "support/screen_test.h"

namespace skarvel {
namespace {

using namespace std::string_literals;
using namespace testing;

const std::string BACK_LINE = "\n\n\t\t\032 Back (B)\n";

using HelpTest = testing::ScreenTest;

TEST_F(HelpTest, MissingFileIsReportedForTwoSecondsWithoutReadingAKey) {
    term.keys("b");
    run_help_screen(session);
    EXPECT_EQ(term.transcript(),
              "<clear_screen>Loading...<clear_screen>\tHelp:\n\t Error: Cannot find the file \"help.txt\"! \a{2000}");
    EXPECT_EQ(term.keys_left(), 1u);
}

// Typed out up to 8 KiB, never ending inside a UTF-8 character; a longer
// text says it was cut (blanks, to pause only at its end).
TEST_F(HelpTest, TextIsTypedWithAPauseAfterLettersAndDigitsOnly) {
    const std::string cut_line = "\n\t... (help.txt is longer than 8 KiB: the rest is not shown)";
    const std::string blanks(8190, ' ');
    const struct {
        std::string file;
        std::string typed;  // what follows the heading, {10} for each pause
    } cases[] = {
        {"", ""},
        {"Hi.\n", "H{10}i{10}.\n"},
        {"Hi.", "H{10}i{10}."},
        {"\r\na\r\nb\r\n", "\na{10}\nb{10}\n"},  // Windows line ends read as Unix ones
        {"a\rb", "a{10}\rb{10}"},                // a lone carriage return stays
        {"Go, 2 go!\t#1\n", "G{10}o{10}, 2{10} g{10}o{10}!\t#1{10}\n"},
        {"\x1b[2J\a\v\f", "\x1b{10}[2{10}J{10}\a{10}\v\f"},          // control bytes pass through unchanged
        {"\xc3\xa9\xe2\x86\x92.", "\xc3{10}\xa9\xe2{10}\x86\x92."},  // one pause a UTF-8 character
        {blanks + "ab", blanks + "a{10}b{10}"},
        {blanks + "abc", blanks + "a{10}b{10}" + cut_line},
        {blanks + " \xc2\xa9", blanks + " " + cut_line},                                         // © cut: left out
        {blanks.substr(1) + "\xe2\x86\x92x", blanks.substr(1) + "\xe2{10}\x86\x92" + cut_line},  // → whole: kept
        {blanks + "\xc2\xa9x", blanks + "\xc2{10}\xa9" + cut_line},                              // © whole: kept
        {blanks + "\xef\xbf\xbd", blanks + cut_line},                                            // U+FFFD cut: left out
        {blanks.substr(1) + "\xf0\x9d\x90\x80", blanks.substr(1) + cut_line},                    // 𝐀 cut: left out
        {blanks.substr(2) + "\x80\x80\x80\x80x", blanks.substr(2) + "\x80\x80\x80\x80" + cut_line},  // no lead: kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 20));
        put("help.txt", c.file);
        ScriptedTerminal t;
        t.keys("b");
        Session s = session_on(t);
        run_help_screen(s);
        EXPECT_EQ(t.transcript(), "<clear_screen>Loading...<clear_screen>\tHelp:\n" + c.typed + BACK_LINE);
    }
}

TEST_F(HelpTest, PQAndBLeaveEveryOtherKeyIsIgnored) {
    const Keys cases[] = {
        chars("p"),
        chars("P"),
        chars("q"),
        chars("Q"),
        chars("b"),
        chars("B"),
        DOWN,                                                           // its letter is P
        chars("xh\0H"s) + UP + LEFT + RIGHT + OTHER_KEY + chars("\rb")  // the rest do nothing
    };
    put("help.txt", "x\n");
    for (const Keys& keys : cases) {
        SCOPED_TRACE(keys.size());
        ScriptedTerminal t;
        t.keys(keys);
        Session s = session_on(t);
        run_help_screen(s);
        EXPECT_EQ(t.keys_left(), 0u);
        EXPECT_EQ(t.commands(), (std::vector<std::string>{"clear_screen", "clear_screen"}));
        EXPECT_EQ(t.screen(), "\tHelp:\nx\n" + BACK_LINE);
    }
}

// The records' folder first (a player's own text wins), then the installed ones; only a regular file counts.
TEST_F(HelpTest, TheFirstPlaceHoldingAHelpFileIsShown) {
    for (const char* folder : {"records", "first", "second"}) std::filesystem::create_directory(folder);
    session.help_files = {"records/help.txt", "first/help.txt", "second/help.txt"};
    const auto shown = [this] {
        ScriptedTerminal t;
        t.keys("b");
        Session s = session_on(t);
        s.help_files = session.help_files;
        run_help_screen(s);
        return t.screen();
    };
    EXPECT_NE(shown().find("Cannot find the file \"help.txt\""), std::string::npos);
    put("second/help.txt", "installed");
    std::filesystem::create_directory("first/help.txt");
    ASSERT_EQ(::mkfifo("records/help.txt", 0600), 0);
    EXPECT_EQ(shown(), "\tHelp:\ninstalled" + BACK_LINE);
    std::filesystem::remove("records/help.txt");
    put("records/help.txt", "my own");
    EXPECT_EQ(shown(), "\tHelp:\nmy own" + BACK_LINE);
}

}  // namespace
}  // namespace skarvel
