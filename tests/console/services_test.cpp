#include "console/services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using testing::ScriptedTerminal;
using Commands = std::vector<std::string>;
const std::string WINDOW = "MODE CON COLS=150 LINES=40";

// Every byte value through set: the table's codes run their command, only
// '1'..'8' are remembered, and everything else does nothing at all.
TEST(ColourSet, EveryByteRunsExactlyItsCommand) {
    const std::map<char, std::string> table = {
        {'1', "COLOR 07"}, {'2', "COLOR 02"}, {'3', "COLOR 70"}, {'4', "COLOR 7C"},
        {'5', "COLOR 79"}, {'6', "COLOR 60"}, {'7', "COLOR 64"}, {'8', "COLOR 57"},
        {'h', "COLOR 48"}, {'k', "COLOR 4C"}, {'p', "COLOR 04"}};
    for (int b = 0; b < 256; ++b) {
        const char mode = static_cast<char>(b);
        if (mode == '0') continue;
        GameState g;
        g.color = '3';
        ScriptedTerminal term;
        set(g, term, mode);
        const auto row = table.find(mode);
        const Commands expected = row == table.end() ? Commands{} : Commands{row->second};
        EXPECT_EQ(term.commands(), expected) << "byte " << b;
        EXPECT_EQ(g.color, mode >= '1' && mode <= '8' ? mode : '3') << "byte " << b;
        EXPECT_EQ(term.output(), "");
    }
}

TEST(ColourSet, StartUpReappliesTheStoredSchemeThenSizesTheWindow) {
    const struct {
        char color;
        Commands commands;
    } cases[] = {
        {'5', {"COLOR 79", WINDOW}},
        {'1', {"COLOR 07", WINDOW}},
        {'0', {WINDOW}},  // never re-enters itself
        {'9', {WINDOW}},
        {'h', {"COLOR 48", WINDOW}},
    };
    for (const auto& c : cases) {
        GameState g;
        g.color = c.color;
        ScriptedTerminal term;
        set(g, term, '0');
        EXPECT_EQ(term.commands(), c.commands) << "color " << c.color;
        EXPECT_EQ(g.color, c.color);
    }
}

// Writes and sleeps in order: text as it is written, sleeps as "[ms]".
std::string timeline(const ScriptedTerminal& term) {
    std::string all;
    for (const auto& e : term.events()) {
        all += e.kind == ScriptedTerminal::Kind::sleep ? "[" + e.text + "]" : e.text;
    }
    return all;
}

TEST(Floating, TypesStandsAndWipesAtTheGivenPace) {
    const std::string text = "Thanks for your playing!\a";
    ScriptedTerminal term;
    floating(term, text.c_str(), 30);

    std::string expected;
    for (const char c : text) expected += std::string(1, c) + "[30]";
    expected += "[500]" + std::string(25, '\b');
    for (int i = 0; i < 25; ++i) expected += " [30]";
    EXPECT_EQ(timeline(term), expected);
    EXPECT_EQ(term.slept_ms(), 2000);
}

TEST(Floating, EmptyTextOnlyStands) {
    ScriptedTerminal term;
    floating(term, "", 30);
    EXPECT_EQ(timeline(term), "[500]");
}

TEST(LineInput, ClearTakesTheRestOfOneLineOnly) {
    ScriptedTerminal term;
    term.line("abc").line("").line("7 8");
    clear(term);
    EXPECT_EQ(term.output(), "abc\n");  // the next line is not read yet
    clear(term);
    EXPECT_EQ(term.output(), "abc\n\n");
    std::int32_t v = 0;
    ASSERT_TRUE(read_int(term, v));
    EXPECT_EQ(v, 7);
    clear(term);  // drops " 8\n"
    term.end_of_input();
    clear(term);  // returns at end of input
    EXPECT_EQ(term.read_line_char(), EOF);
}

TEST(LineInput, NumberSpansEmptyLinesAndStopsBeforeTheFirstOtherByte) {
    ScriptedTerminal term;
    term.line("").line(" \t").line("  -42abc").line("P").line("5 6");
    std::int32_t v = 1;
    ASSERT_TRUE(read_int(term, v));
    EXPECT_EQ(v, -42);
    EXPECT_EQ(term.read_line_char(), 'a');
    clear(term);
    EXPECT_FALSE(read_int(term, v));
    EXPECT_EQ(v, -42);
    EXPECT_EQ(term.read_line_char(), 'P');  // left for clear to drop
    clear(term);
    ASSERT_TRUE(read_int(term, v));
    ASSERT_TRUE(read_int(term, v));
    EXPECT_EQ(v, 6);
    EXPECT_EQ(term.output(), "\n \t\n  -42abc\nP\n5 6\n");
    term.end_of_input();
    EXPECT_FALSE(read_int(term, v));  // only the line end is left
    EXPECT_EQ(v, 6);
}

}  // namespace
}  // namespace skarvel
