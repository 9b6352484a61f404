#include "console/services.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace skarvel
