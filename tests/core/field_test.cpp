#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/game_state.h"

namespace skarvel {
namespace {

// The rules tell cells apart by their glyph alone.
TEST(Glyphs, EveryKindOfCellHasAGlyphOfItsOwnInBothModes) {
    for (const DisplayMode mode : {DisplayMode::pictures, DisplayMode::plain}) {
        const GlyphSet& s = glyphs_of(mode);
        const std::set<char> cells = {s.player, s.player_hit, s.bomb, s.power, s.life, EMPTY};
        const std::set<char> borders = {s.border_top, s.border_bottom, s.border_left, s.border_right};
        EXPECT_EQ(cells.size(), 6u) << static_cast<int>(mode);
        for (const char border : borders) EXPECT_EQ(cells.count(border), 0u) << static_cast<int>(mode);
    }
}

TEST(Glyphs, SelectingADisplayModeSelectsItsGlyphs) {
    GameState g;
    select_display_mode(g, DisplayMode::plain);
    EXPECT_EQ(g.display_mode, DisplayMode::plain);
    EXPECT_EQ(g.glyphs.pointer, '>');
    select_display_mode(g, DisplayMode::pictures);
    EXPECT_EQ(g.display_mode, DisplayMode::pictures);
    EXPECT_EQ(g.glyphs.pointer, '\x1a');
}

TEST(BuildField, FramesTheFieldWithBlankCornersAndLeavesTheRestAlone) {
    const struct {
        int cols, rows;
        DisplayMode mode;
        std::vector<std::string> lines;
    } cases[] = {
        {3, 8, DisplayMode::plain, {" # ", "# #", "# #", "# #", "# #", "# #", "# #", " # "}},
        {3, 3, DisplayMode::pictures, {" \x1e ", "\x11 \x10", " \x1f "}},
        {5, 4, DisplayMode::pictures, {" \x1e\x1e\x1e ", "\x11   \x10", "\x11   \x10", " \x1f\x1f\x1f "}},
        {6, 3, DisplayMode::plain, {" #### ", "#    #", " #### "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        GameState g;
        for (auto& row : g.field) row.fill('Z');  // stale bytes of a larger field
        select_display_mode(g, c.mode);
        g.cols = c.cols, g.rows = c.rows;
        g.bombs_placed = g.powers_on_field = g.lives_on_field = 7;
        g.budget = 9, g.row = 2, g.col = 1, g.score = 4, g.powers_held = 5, g.lives_held = 6;
        build_field(g);
        std::vector<std::string> lines;
        for (int i = 0; i < g.rows; ++i) lines.emplace_back(g.field[i].data(), static_cast<std::size_t>(g.cols));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(g.field[0][c.cols], 'Z');
        EXPECT_EQ(g.field[c.rows][0], 'Z');
        EXPECT_EQ(g.bombs_placed + g.powers_on_field + g.lives_on_field, 0);
        // What a spent power relies on: the game itself goes on.
        EXPECT_EQ(std::vector<int>({g.budget, g.row, g.col, g.score, g.powers_held, g.lives_held}),
                  std::vector<int>({9, 2, 1, 4, 5, 6}));
    }
}

TEST(Counters, StopAtTheLargest32BitValue) {
    std::int32_t n = INT32_MAX - 1;
    count_up(n);
    EXPECT_EQ(n, INT32_MAX);
    count_up(n);
    EXPECT_EQ(n, INT32_MAX);
}

}  // namespace
}  // namespace skarvel
