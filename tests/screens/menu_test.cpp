#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "screens/screens.h"
#include "support/screen_test.h"

namespace skarvel {
namespace {

using namespace std::string_literals;
using namespace testing;

// The main menu with the bullet of display mode '1' (byte 26) or '2'.
std::string menu_screen(char p) {
    return "\t\t KELDRY'S SKARVEL \n\n\tMain menu:\n\n"s + "\t" + p + " Play (P)\n\t" + p + " Help (H)\n\t" + p +
           " Achievement (A)\n\t" + p + " Options (O)\n\n\t\t" + p + " Quit (Q)\n";
}

using MenuTest = testing::ScreenTest;

// A banner is typed a byte at a time, held half a second, then wiped from the left at the typing pace.
TEST_F(MenuTest, ABannerIsTypedHeldAndWipedFromTheLeft) {
    type_banner(term, "Hi\a", 30);
    EXPECT_EQ(term.transcript(), "H{30}i{30}\a{30}{500}\b\b\b {30} {30} {30}");
}

TEST_F(MenuTest, RunGreetsShowsTheMenuAndSaysFarewellOnQuit) {
    term.keys("q");
    run_program(session);
    const std::string welcome = "\t\tWelcome to KELDRY'S SKARVEL!\a";
    const std::string farewell = "Thanks for your playing!\a";
    const auto wiped = [](std::size_t n) { return std::string(n, '\b') + std::string(n, ' '); };
    EXPECT_EQ(term.transcript().rfind(
                  "Loading...<set_colours(black, white)><size_window><clear_screen><clear_screen>\t{20}\t{20}W", 0),
              0u);
    EXPECT_EQ(term.screens(), (std::vector<std::string>{"", welcome + wiped(31), menu_screen('\032'),
                                                        "\t" + farewell + wiped(25), ""}));
    EXPECT_EQ(term.now_ms(), (2 * 31 * 20 + 500) + (2 * 25 * 30 + 500));
}

TEST_F(MenuTest, RunAppliesTheStoredRecordsShowsThemUntilBAndWritesNothing) {
    put("options.txt", "60 25 5 2 7");
    put("score.txt", "123 4");
    term.keys("a").keys(chars("xq") + DOWN + chars("b")).keys("q");
    run_program(session);
    EXPECT_EQ(term.keys_left(), 0u);
    const std::vector<std::string> commands = term.commands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[0], "set_colours(white, light_blue)");
    EXPECT_EQ(commands[1], "size_window");
    const std::vector<std::string> shown = term.screens();
    ASSERT_EQ(shown.size(), 7u);  // two before the banner, menu, achievements, menu, two of the farewell
    EXPECT_EQ(shown[2], menu_screen('>'));
    EXPECT_EQ(shown[3],
              "\t\t KELDRY'S SKARVEL \n\n\tAchievements:\n"
              "\n\t> High score: 123\n\t> Survival: 4\n\n\t\t> Back to main menu(B)\n");
    EXPECT_EQ(shown[4], menu_screen('>'));
    EXPECT_EQ(std::tuple(g.cols, g.rows, g.level), std::tuple(60, 25, 7));
    EXPECT_EQ(get("options.txt"), "60 25 5 2 7");
    EXPECT_EQ(get("score.txt"), "123 4");
}

TEST_F(MenuTest, PlayRunsAGameOnAFreshFieldAndComesBackToTheMenu) {
    put("options.txt", "10 8 1 2 1");
    term.keys("p").keys("q").keys("q");  // play, leave the game, quit
    run_program(session);
    EXPECT_EQ(term.keys_left(), 0u);
    EXPECT_EQ((std::array{g.field[0][1], g.field[7][8], g.field[3][0], g.field[3][9]}),
              (std::array{Cell::border_top, Cell::border_bottom, Cell::border_left, Cell::border_right}));
    EXPECT_EQ(get("score.txt"), "(none)");  // Q in a game saves nothing
}

// A tiny field at level 10 ends a game within a few steps; with a best score of -1 either ending is a gain.
TEST_F(MenuTest, BackAfterAFinishedGameSavesTheScoreAndQDoesNot) {
    put("options.txt", "3 8 1 2 10");
    put("score.txt", "-1 2");
    term.keys("p").keys("wswswsws").keys("b").keys("pq").keys("q");
    run_program(session);
    EXPECT_EQ(term.keys_left(), 0u);
    EXPECT_NE(get("score.txt"), "-1 2");
    EXPECT_EQ(get("score.txt"), std::to_string(g.best_score) + " " + std::to_string(g.games_won));
}

TEST_F(MenuTest, KeysAreUpperCasedArrowsActAsLettersAndUnknownKeysAreIgnored) {
    const struct {
        Keys keys;
        MenuChoice result;
        std::size_t clears;  // every redraw of the menu or another screen
    } cases[] = {
        {chars("p"), MenuChoice::play, 1},
        {chars("P"), MenuChoice::play, 1},
        {chars("q"), MenuChoice::quit, 1},
        {DOWN, MenuChoice::play, 1},
        {UP + chars("q"), MenuChoice::quit, 4},  // help (no help.txt: two clears), then the menu again
        {chars("xZ1 ") + LEFT + RIGHT + OTHER_KEY + chars("\0Kq"s), MenuChoice::quit, 1},  // nothing redraws
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.size());
        ScriptedTerminal t;
        t.keys(c.keys);
        Session s = session_on(t);
        EXPECT_EQ(run_main_menu(s), c.result);
        EXPECT_EQ(t.keys_left(), 0u);
        EXPECT_EQ(t.commands(), std::vector<std::string>(c.clears, "clear_screen"));
        EXPECT_EQ(t.screens().front(), menu_screen('\032'));
    }
}

TEST_F(MenuTest, TheMenuPointerFollowsTheDisplayModeChosenInOptions) {
    term.keys("o").keys("d2b").keys("b").keys("q");
    EXPECT_EQ(run_main_menu(session), MenuChoice::quit);
    const std::vector<std::string> shown = term.screens();
    ASSERT_EQ(shown.size(), 6u);  // menu, options, display twice, options, menu
    EXPECT_EQ(shown.front(), menu_screen('\032'));
    EXPECT_EQ(shown.back(), menu_screen('>'));
}

}  // namespace
}  // namespace skarvel
