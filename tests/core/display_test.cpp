#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/display.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

// A built field with distinct values in every counter the screen shows.
GameState field(int max_r, int max_l, char mode) {
    GameState g;
    for (auto& row : g.map) row.fill('Z');  // stale bytes of a larger field
    rev(g, mode);
    g.max_r = max_r, g.max_l = max_l, g.lev = 3;
    build(g);
    g.survival = 4, g.score = 5, g.h_score = 6, g.power_left = 7, g.live_left = 8;
    g.bomb_num = 9, g.power_num = 10, g.live_num = 11;
    return g;
}

std::string printed(const GameState& g) {
    testing::ScriptedTerminal t;
    print(g, t);
    return t.transcript();
}

TEST(Print, NarrowestField) {
    GameState g = field(3, 8, '2');
    g.map[2][1] = g.glyphs.bomb;
    g.map[3][1] = g.glyphs.player;
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

// Columns a line takes on the console, tabs expanded to 8-column stops.
int columns(const std::string& line) {
    int col = 0;
    for (const char c : line) col = c == '\t' ? (col / 8 + 1) * 8 : col + 1;
    return col;
}

TEST(Print, SpacesTheSevenPanelLinesByAnEighthOfTheWidthWithinTheConsole) {
    const struct {
        int max_r, max_l;
        char mode;
        std::array<int, 7> rows;  // of the seven panel lines
    } cases[] = {
        {40, 15, '2', {1, 2, 3, 4, 5, 6, 7}},
        {40, 20, '2', {2, 4, 6, 8, 10, 12, 14}},
        {9, 23, '1', {2, 4, 6, 8, 10, 12, 14}},
        {120, 30, '1', {3, 6, 9, 12, 15, 18, 21}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.max_r) + "x" + std::to_string(c.max_l));
        GameState g = field(c.max_r, c.max_l, c.mode);
        g.map[1][1] = g.glyphs.live;
        const std::string p(1, g.glyphs.p);
        const std::string panel[] = {"\t KELDRY'S SKARVLE", "\t" + p + " Survival: 4", "\t" + p + " Score: 5",
                                     "\t" + p + " High score: 6", "\t" + p + " Power: 7", "\t" + p + " Lives: 8",
                                     "\t" + p + " Dodge, grab, wipe!"};
        std::string expected = "<CLS>Length: " + std::to_string(c.max_r) + "\tWidth: " + std::to_string(c.max_l) +
                               "\tLevel: 3\n";
        for (int i = 0; i < c.max_l; ++i) {
            std::string line(g.map[i].data(), static_cast<std::size_t>(c.max_r));
            for (int n = 0; n < 7; ++n) line += c.rows[n] == i ? panel[n] : "";
            EXPECT_LT(columns(line), 150) << "row " << i << " would wrap";
            expected += line + "\n";
        }
        expected += std::string("Bombs(") + g.glyphs.bomb + "): 9\tPowers(" + g.glyphs.pow + "): 10\tLives(" +
                    g.glyphs.live + "): 11\n";
        EXPECT_EQ(printed(g), expected);
    }
}

}  // namespace
}  // namespace skarvel
