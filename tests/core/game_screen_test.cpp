#include "core/game_screen.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

// A built field with distinct values in every counter the screen shows.
GameState field(int cols, int rows, DisplayMode mode) {
    GameState g;
    for (auto& row : g.field) row.fill('Z');  // stale bytes of a larger field
    select_display_mode(g, mode);
    g.cols = cols, g.rows = rows, g.level = 3;
    build_field(g);
    g.games_won = 4, g.score = 5, g.best_score = 6, g.powers_held = 7, g.lives_held = 8;
    g.bombs_placed = 9, g.powers_on_field = 10, g.lives_on_field = 11;
    return g;
}

std::string printed(const GameState& g) {
    testing::ScriptedTerminal t;
    draw_game_screen(g, t);
    return t.transcript();
}

TEST(GameScreen, NarrowestField) {
    GameState g = field(3, 8, DisplayMode::plain);
    g.field[2][1] = g.glyphs.bomb;
    g.field[3][1] = g.glyphs.player;
    EXPECT_EQ(printed(g),
              "<CLS>Length: 3\tWidth: 8\tLevel: 3\n"
              " # \n"
              "# #\t KELDRY'S SKARVLE\n"
              "#*#\t> Survival: 4\n"
              "#@#\t> Score: 5\n"
              "# #\t> High score: 6\n"
              "# #\t> Power: 7\n"
              "# #\t> Lives: 8\n"
              " # \t> Dodge, grab, wipe!\n"
              "Bombs(*): 9\tPowers(%): 10\tLives($): 11\n");
}

// For a terminal that shows only a part of the screen: the counters of the
// panel and of the bottom line, glyphs as the bottom line has them.
TEST(GameScreen, HandsOverTheCountersInOneStatusLine) {
    testing::ScriptedTerminal t;
    draw_game_screen(field(40, 20, DisplayMode::plain), t);
    EXPECT_EQ(t.status(), "Score: 5  High score: 6  Power: 7  Lives: 8  |  * 9  % 10  $ 11");
}

// Columns a line takes on the console, tabs expanded to 8-column stops.
int columns(const std::string& line) {
    int col = 0;
    for (const char c : line) col = c == '\t' ? (col / 8 + 1) * 8 : col + 1;
    return col;
}

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
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        GameState g = field(c.cols, c.rows, c.mode);
        g.field[1][1] = g.glyphs.life;
        const std::string p(1, g.glyphs.pointer);
        const std::string panel[] = {"\t KELDRY'S SKARVLE",           "\t" + p + " Survival: 4", "\t" + p + " Score: 5",
                                     "\t" + p + " High score: 6",     "\t" + p + " Power: 7",    "\t" + p + " Lives: 8",
                                     "\t" + p + " Dodge, grab, wipe!"};
        std::string expected =
            "<CLS>Length: " + std::to_string(c.cols) + "\tWidth: " + std::to_string(c.rows) + "\tLevel: 3\n";
        for (int i = 0; i < c.rows; ++i) {
            std::string line(g.field[i].data(), static_cast<std::size_t>(c.cols));
            for (int n = 0; n < 7; ++n) line += c.panel_rows[n] == i ? panel[n] : "";
            EXPECT_LT(columns(line), 150) << "row " << i << " would wrap";
            expected += line + "\n";
        }
        expected += std::string("Bombs(") + g.glyphs.bomb + "): 9\tPowers(" + g.glyphs.power + "): 10\tLives(" +
                    g.glyphs.life + "): 11\n";
        EXPECT_EQ(printed(g), expected);
    }
}

}  // namespace
}  // namespace skarvel
