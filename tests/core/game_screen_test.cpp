#include "core/game_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

// A built field with distinct values in every counter the screen shows.
GameState field(int cols, int rows, DisplayMode mode) {
    GameState g;
    for (auto& row : g.field) row.fill(Cell::extra_life);  // what a larger field left
    g.display_mode = mode;
    g.cols = cols, g.rows = rows, g.level = 3;
    build_field(g);
    g.games_won = 4, g.score = 5, g.best_score = 6, g.powers_held = 7, g.lives_held = 8;
    g.bombs_placed = 9, g.powers_on_field = 10, g.lives_on_field = 11;
    g.row = 3, g.col = 1;
    return g;
}

std::string printed(const GameState& g) {
    testing::ScriptedTerminal t;
    draw_game_screen(g, t, Cell::player);
    return t.transcript();
}

// Without UTF-8 the console shows display mode 1's glyph bytes as these.
TEST(GameScreen, PictureStandInsLookLikeThePictures) {
    const StandIns stand_ins = picture_stand_ins();
    EXPECT_EQ(std::string(stand_ins.begin(), stand_ins.end()), "?@!$???????????*><???%??^?>???^v");
}

TEST(GameScreen, NarrowestField) {
    GameState g = field(3, 8, DisplayMode::plain);
    g.field[2][1] = Cell::bomb;
    EXPECT_EQ(printed(g),
              "<clear_screen>Length: 3\tWidth: 8\tLevel: 3\n"
              " # \n"
              "# #\t KELDRY'S SKARVLE\n"
              "#*#\t> Survival: 4\n"
              "#@#\t> Score: 5\n"
              "# #\t> High score: 6\n"
              "# #\t> Power: 7\n"
              "# #\t> Lives: 8\n"
              " # \t> Dodge, grab, wipe!\n"
              "Bombs(*): 9\tPowers(%): 10\tLives($): 11\n");
    testing::ScriptedTerminal t;
    draw_game_screen(g, t, Cell::player);
    EXPECT_EQ(t.output().substr(t.mark(), 2), "@#");  // the cursor rests on the player
    g.display_mode = DisplayMode::pictures;           // the code-page-437 pictures' bytes
    EXPECT_NE(printed(g).find(" \x1e \n\x11 \x10\t KELDRY'S SKARVLE\n\x11\x0f\x10\t\x1a Survival: 4\n\x11\x01\x10"),
              std::string::npos);
    EXPECT_NE(printed(g).find(" \x1f \t\x1a Dodge, grab, wipe!\nBombs(\x0f): 9\tPowers(\x15): 10\tLives(\x03): 11\n"),
              std::string::npos);
}

// For a terminal showing part of the screen: the panel's and the bottom line's
// counters, glyphs as the bottom line has them; shorter, the player's state first.
TEST(GameScreen, HandsOverTheCountersInOneStatusLine) {
    testing::ScriptedTerminal t;
    draw_game_screen(field(40, 20, DisplayMode::plain), t, Cell::player);
    EXPECT_EQ(t.status(), (std::vector<std::string>{"Score: 5  High score: 6  Power: 7  Lives: 8  |  * 9  % 10  $ 11",
                                                    "Lives: 8  Power: 7  Score: 5  High: 6  |  * 9  % 10  $ 11",
                                                    "Lives 8  Power 7  Score 5  High 6", "L8 P7 S5 H6"}));
}

// Columns a line takes on the console, tabs expanded to 8-column stops.
int columns(const std::string& line) {
    int col = 0;
    for (const char c : line) col = c == '\t' ? (col / 8 + 1) * 8 : col + 1;
    return col;
}

// The lines of a drawn screen, without its clear.
std::vector<std::string> lines_of(const std::string& printed) {
    std::vector<std::string> lines;
    std::istringstream in(printed.substr(std::string("<clear_screen>").size()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The panel of the narrowest field, above, is the one exact check of its texts; every
// size shows the same seven, an eighth of the rows apart, after the cells, in the console.
TEST(GameScreen, SpacesTheSevenPanelLinesByAnEighthOfTheWidthWithinTheConsole) {
    const struct {
        int cols, rows;
        DisplayMode mode;
        std::array<int, 7> panel_rows;  // of the seven panel lines
    } cases[] = {
        {40, 15, DisplayMode::plain, {1, 2, 3, 4, 5, 6, 7}},
        {40, 20, DisplayMode::plain, {2, 4, 6, 8, 10, 12, 14}},
        {9, 23, DisplayMode::pictures, {2, 4, 6, 8, 10, 12, 14}},
        {120, 30, DisplayMode::pictures, {3, 6, 9, 12, 15, 18, 21}},
    };
    std::vector<std::string> panel;
    for (const std::string& line : lines_of(printed(field(3, 8, DisplayMode::plain)))) {
        if (line.size() > 3 && line[3] == '\t') panel.push_back(line.substr(3));
    }
    ASSERT_EQ(panel.size(), 7u);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        const GameState g = field(c.cols, c.rows, c.mode);
        const std::vector<std::string> lines = lines_of(printed(g));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.rows) + 2);
        EXPECT_EQ(lines.front(),
                  "Length: " + std::to_string(c.cols) + "\tWidth: " + std::to_string(c.rows) + "\tLevel: 3");
        for (int i = 0; i < c.rows; ++i) {
            const std::string& line = lines[static_cast<std::size_t>(i) + 1];
            const auto n = std::find(c.panel_rows.begin(), c.panel_rows.end(), i) - c.panel_rows.begin();
            std::string text = n < 7 ? panel[static_cast<std::size_t>(n)] : "";
            std::replace(text.begin(), text.end(), '>', g.glyphs().bullet);
            EXPECT_EQ(line.substr(static_cast<std::size_t>(c.cols)), text) << "row " << i;
            EXPECT_LT(columns(line), 150) << "row " << i << " would wrap";
        }
    }
}

}  // namespace
}  // namespace skarvel
