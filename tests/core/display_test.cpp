#include <gtest/gtest.h>

#include <map>
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

std::string screen_of(const GameState& g) {
    testing::ScriptedTerminal t;
    print(g, t);
    EXPECT_EQ(t.commands(), std::vector<std::string>{"CLS"});
    EXPECT_EQ(t.events().front().text, "CLS");
    return t.screen();
}

TEST(Print, NarrowestFieldInBothModes) {
    GameState g = field(3, 8, '2');
    g.map[2][1] = g.glyphs.bomb;
    g.map[3][1] = g.glyphs.player;
    EXPECT_EQ(screen_of(g),
              "Length: 3\tWidth: 8\tLevel: 3\n"
              " # \n"
              "# #\t KELDRY'S SKARVLE\n"
              "#*#\t> Survival: 4\n"
              "#@#\t> Score: 5\n"
              "# #\t> High score: 6\n"
              "# #\t> Power: 7\n"
              "# #\t> Lives: 8\n"
              " # \t> Dodge, grab, wipe!\n"
              "Bombs(*): 9\tPowers(%): 10\tLives($): 11\n");

    g = field(3, 8, '1');
    g.map[2][1] = g.glyphs.pow;
    g.map[3][1] = g.glyphs.player_dead;
    EXPECT_EQ(screen_of(g),
              "Length: 3\tWidth: 8\tLevel: 3\n"
              " \x1e \n"
              "\x11 \x10\t KELDRY'S SKARVLE\n"
              "\x11\x15\x10\t\x1a Survival: 4\n"
              "\x11\x02\x10\t\x1a Score: 5\n"
              "\x11 \x10\t\x1a High score: 6\n"
              "\x11 \x10\t\x1a Power: 7\n"
              "\x11 \x10\t\x1a Lives: 8\n"
              " \x1f \t\x1a Dodge, grab, wipe!\n"
              "Bombs(\x0f): 9\tPowers(\x15): 10\tLives(\x03): 11\n");
}

// Columns a line takes on the console, tabs expanded to 8-column stops.
int columns(const std::string& line) {
    int col = 0;
    for (const char c : line) col = c == '\t' ? (col / 8 + 1) * 8 : col + 1;
    return col;
}

struct PanelCase {
    int max_r, max_l;
    char mode;
    std::map<int, std::string> panel;  // row -> text after the cells
};

void PrintTo(const PanelCase& c, std::ostream* os) { *os << c.max_r << "x" << c.max_l << " mode " << c.mode; }

class PrintPanel : public ::testing::TestWithParam<PanelCase> {};

TEST_P(PrintPanel, SpacesTheSevenLinesByAnEighthOfTheWidth) {
    const PanelCase& c = GetParam();
    GameState g = field(c.max_r, c.max_l, c.mode);
    g.map[1][1] = g.glyphs.live;
    std::string expected = "Length: " + std::to_string(c.max_r) + "\tWidth: " + std::to_string(c.max_l) + "\tLevel: 3\n";
    for (int i = 0; i < c.max_l; ++i) {
        const std::string line = std::string(g.map[i].data(), static_cast<std::size_t>(c.max_r)) +
                                 (c.panel.count(i) ? c.panel.at(i) : "");
        EXPECT_LT(columns(line), 150) << "row " << i << " would wrap";
        expected += line + "\n";
    }
    expected += c.mode == '1' ? "Bombs(\x0f): 9\tPowers(\x15): 10\tLives(\x03): 11\n"
                              : "Bombs(*): 9\tPowers(%): 10\tLives($): 11\n";
    EXPECT_EQ(screen_of(g), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, PrintPanel,
    ::testing::Values(PanelCase{40, 20, '2',
                                {{2, "\t KELDRY'S SKARVLE"},
                                 {4, "\t> Survival: 4"},
                                 {6, "\t> Score: 5"},
                                 {8, "\t> High score: 6"},
                                 {10, "\t> Power: 7"},
                                 {12, "\t> Lives: 8"},
                                 {14, "\t> Dodge, grab, wipe!"}}},
                      PanelCase{120, 30, '1',
                                {{3, "\t KELDRY'S SKARVLE"},
                                 {6, "\t\x1a Survival: 4"},
                                 {9, "\t\x1a Score: 5"},
                                 {12, "\t\x1a High score: 6"},
                                 {15, "\t\x1a Power: 7"},
                                 {18, "\t\x1a Lives: 8"},
                                 {21, "\t\x1a Dodge, grab, wipe!"}}},
                      PanelCase{40, 15, '2',
                                {{1, "\t KELDRY'S SKARVLE"},
                                 {2, "\t> Survival: 4"},
                                 {3, "\t> Score: 5"},
                                 {4, "\t> High score: 6"},
                                 {5, "\t> Power: 7"},
                                 {6, "\t> Lives: 8"},
                                 {7, "\t> Dodge, grab, wipe!"}}},
                      PanelCase{9, 23, '1',
                                {{2, "\t KELDRY'S SKARVLE"},
                                 {4, "\t\x1a Survival: 4"},
                                 {6, "\t\x1a Score: 5"},
                                 {8, "\t\x1a High score: 6"},
                                 {10, "\t\x1a Power: 7"},
                                 {12, "\t\x1a Lives: 8"},
                                 {14, "\t\x1a Dodge, grab, wipe!"}}}));

}  // namespace
}  // namespace skarvel
