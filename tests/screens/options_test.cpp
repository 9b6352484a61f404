#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screens/screens.h"
#include "support/screen_test.h"

namespace skarvel {
namespace {

using namespace std::string_literals;
using namespace testing;

const std::string TITLE_LINE = "\t\t KELDRY'S SKARVEL \n\n";
const std::string OPTIONS_MENU = TITLE_LINE +
                                 "\tOptions:\n"
                                 "\n\t\032 Map size (M)\n\t\032 Level (L)\n\t\032 Color (C)\n\t\032 Display (D)\n"
                                 "\n\t\t\032 Back to main menu (B)\n";

using OptionsTest = testing::ScreenTest;

TEST_F(OptionsTest, MenuRedrawsOnEveryUnknownKeyAndOpensEachScreen) {
    term.keys(chars("x") + UP + LEFT + DOWN + OTHER_KEY);  // each only redraws the menu
    term.keys(RIGHT).keys("b").keys("lb").keys("cb").keys("db").keys("b");
    term.end_of_input();  // the map-size screen reads no number: both values stay
    run_options_menu(session);
    EXPECT_EQ(term.keys_left(), 0u);
    const std::vector<std::string> shown = term.screens();
    ASSERT_EQ(shown.size(), 14u);
    EXPECT_EQ(shown[0], OPTIONS_MENU);
    for (const std::size_t i : {1, 2, 3, 4, 5, 7, 9, 11, 13}) EXPECT_EQ(shown[i], shown[0]) << i;
    EXPECT_NE(shown[6].find("Please enter a new length"), std::string::npos);
    EXPECT_NE(shown[8].find("Tip: Press direction keys"), std::string::npos);
    EXPECT_NE(shown[10].find("Press number to change the color."), std::string::npos);
    EXPECT_NE(shown[12].find("Press number to change the diaplay."), std::string::npos);
    EXPECT_EQ(get("options.txt"), "40 20 1 1 1");
}

TEST_F(OptionsTest, MapSizeScreenShowsPromptsEchoAndResult) {
    term.line("60").line("25").keys("xb");
    run_options_screen(session, OptionsScreen::map_size);
    EXPECT_EQ(term.keys_left(), 0u);
    EXPECT_EQ(term.screen(), TITLE_LINE +
                                 "\t\032Tip: enter 'P' to pass.\n"
                                 "\n\t\032 Current length:\t40\n\t\032 Current width:\t20\n"
                                 "\n\t\032 Recommended length:\t50\n\t\032 Recommended width:\t20\n"
                                 "\n\t\032 Please enter a new length(3 ~ 120):\t60\n"
                                 "\n\t\032 Please enter a new width(8 ~ 30):\t25\n"
                                 "\n\t\032 New length:\t60\n\t\032 New width:\t25\n"
                                 "\n\t\t\032 Back (B)\n");
    EXPECT_EQ(get("options.txt"), "60 25 1 1 1");
}

TEST_F(OptionsTest, MapSizeReadsClampsAndPasses) {
    struct Case {
        std::vector<std::string> lines;
        int length, width;          // before
        int new_length, new_width;  // after
    };
    const Case cases[] = {
        {{"2", "7"}, 40, 20, 3, 8},
        {{"121", "31"}, 40, 20, 120, 30},
        {{"-5", "+9"}, 40, 20, 3, 9},
        {{"P", "p"}, 40, 20, 40, 20},
        {{"P", "P"}, 200, 5, 120, 8},  // passing still clamps
        {{"12abc", "10"}, 40, 20, 12, 10},
        {{"50 25", "11 more"}, 40, 20, 50, 11},        // the rest of each line is thrown away
        {{"", "  ", "70", "", "15"}, 40, 20, 70, 15},  // empty lines do not end an entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        ScriptedTerminal t;
        for (const std::string& l : c.lines) t.line(l);
        t.keys("b").end_of_input();
        g.cols = c.length, g.rows = c.width;
        Session s = session_on(t);
        run_options_screen(s, OptionsScreen::map_size);
        EXPECT_EQ(std::pair(g.cols, g.rows), std::pair(c.new_length, c.new_width));
        EXPECT_EQ(get("options.txt"), std::to_string(c.new_length) + " " + std::to_string(c.new_width) + " 1 1 1");
    }
}

TEST_F(OptionsTest, LevelScreenShowsTheMarkerUnderTheLevel) {
    g.level = 4;
    term.keys("b");
    run_options_screen(session, OptionsScreen::level);
    EXPECT_EQ(term.screen(), TITLE_LINE +
                                 "\t\032 Tip: Press direction keys to choose a level.\n"
                                 "\n\t\tEasy   Normal   Hard   Isane\n"
                                 "\tLevel" +
                                 std::string(12, ' ') +
                                 "\030 4"
                                 "\n\n\t\t\032 Back (B)");
    EXPECT_EQ(get("options.txt"), "40 20 1 1 4");  // saved on the way out, though unchanged
}

TEST_F(OptionsTest, LevelKeysStayWithinOneToTenAndEveryKeyRedraws) {
    const struct {
        int level;
        Keys keys;  // before the closing B
        int result;
    } cases[] = {
        {7, chars("aspk") + LEFT + DOWN, 1},  // each key, letter or arrow, one level down
        {4, chars("dwmh") + RIGHT + UP, 10},
        {1, chars("AaSsKkPp") + LEFT + DOWN, 1},
        {10, chars("DdWwMmHh") + RIGHT + UP, 10},
        {5, chars("xq1 ") + OTHER_KEY, 5},
        {5, chars("a"), 4},
        {5, RIGHT, 6},  // one step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        ScriptedTerminal t;
        t.keys(c.keys).keys("b");
        g.level = c.level;
        Session s = session_on(t);
        run_options_screen(s, OptionsScreen::level);
        EXPECT_EQ(g.level, c.result);
        EXPECT_EQ(t.commands(), std::vector<std::string>(c.keys.size() + 1, "clear_screen"));
        EXPECT_EQ(get("options.txt"), "40 20 1 1 " + std::to_string(c.result));
    }
}

TEST_F(OptionsTest, ColourScreenRecoloursAtOnceAndSavesEachScheme) {
    term.keys("09b");
    run_options_screen(session, OptionsScreen::colour);
    EXPECT_EQ(get("options.txt"), "(none)");  // 0 and 9 change nothing
    term.keys("3b");
    run_options_screen(session, OptionsScreen::colour);
    EXPECT_EQ(term.commands(), (std::vector<std::string>{"clear_screen", "clear_screen", "set_colours(white, black)"}));
    EXPECT_EQ(g.colour_scheme, 3);
    EXPECT_EQ(get("options.txt"), "40 20 3 1 1");
    EXPECT_EQ(term.screen(), TITLE_LINE +
                                 "\tBackground\tFront\t\tNumber\n"
                                 "\t Black\t\t White\t\t 1\n\t Black\t\t Green\t\t 2\n"
                                 "\t White\t\t Black\t\t 3\n\t White\t\t Red\t\t 4\n"
                                 "\t White\t\t Blue\t\t 5\n\t Yellow\t\t Black\t\t 6\n"
                                 "\t Yellow\t\t Red\t\t 7\n\t Purple\t\t White\t\t 8\n"
                                 "\n\tPress number to change the color.\n"
                                 "\n\t\t\032 Back (B)\n");
}

// Every scheme chosen is a colouring of its own and comes back at the next start.
TEST_F(OptionsTest, EverySchemeChosenComesBackAtTheNextStart) {
    term.keys("12345678b");
    run_options_screen(session, OptionsScreen::colour);
    std::vector<std::string> chosen = term.commands();
    chosen.erase(chosen.begin());  // the clear
    ASSERT_EQ(chosen.size(), 8u);
    EXPECT_EQ(std::set<std::string>(chosen.begin(), chosen.end()).size(), 8u);
    for (int scheme = 1; scheme <= 8; ++scheme) {
        SCOPED_TRACE(scheme);
        const std::string& command = chosen[static_cast<std::size_t>(scheme - 1)];
        const std::size_t comma = command.find(", ");  // never the same colour on itself
        EXPECT_NE(command.substr(12, comma - 12), command.substr(comma + 2, command.size() - comma - 3)) << command;
        put("options.txt", "40 20 " + std::to_string(scheme) + " 1 1");
        GameState next;
        ScriptedTerminal t;
        t.keys("q");
        Session s{next, t, records, {}};
        run_program(s);
        EXPECT_EQ(t.commands().at(0), command);
    }
}

TEST_F(OptionsTest, DisplayScreenRedrawsOnEveryModeKeyWithTheNewPointerButFixedSamples) {
    term.keys("x3").keys("1").keys("2").keys("b");  // '1' is the current mode: still redrawn and saved
    run_options_screen(session, OptionsScreen::display);
    const std::string body = TITLE_LINE +
                             "\tDisplay\t\tNumber\n\t \001\t\t 1\n\t @\t\t 2\n"
                             "\n\tPress number to change the diaplay.\n\n\t\t";
    EXPECT_EQ(term.screens(),
              (std::vector<std::string>{body + "\032 Back (B)\n", body + "\032 Back (B)\n", body + "> Back (B)\n"}));
    EXPECT_EQ(g.glyphs().bullet, '>');
    EXPECT_EQ(get("options.txt"), "40 20 1 2 1");
}

}  // namespace
}  // namespace skarvel
