#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game_state.h"

namespace skarvel {
namespace {

std::string flat(const GlyphSet& s) {
    return {s.player, s.player_dead, s.bomb, s.pow, s.live, s.side_u, s.side_d, s.side_l, s.side_r, s.p, s.p_3};
}

TEST(Rev, LoadsTheGlyphSetOfModeOneOrTwoAndIgnoresAnyOtherMode) {
    GameState g;
    rev(g, '3');
    EXPECT_EQ(flat(g.glyphs), std::string(11, '\0'));
    rev(g, '2');
    EXPECT_EQ(flat(g.glyphs), "@!*%$####>|");
    EXPECT_EQ(g.rev_mode, '2');
    for (const char mode : {'3', '0', ' ', 'h', '\0'}) {
        rev(g, mode);
        EXPECT_EQ(flat(g.glyphs), "@!*%$####>|") << static_cast<int>(mode);
        EXPECT_EQ(g.rev_mode, '2') << static_cast<int>(mode);
    }
    rev(g, '1');
    EXPECT_EQ(flat(g.glyphs), "\x01\x02\x0f\x15\x03\x1e\x1f\x11\x10\x1a\x18");
    EXPECT_EQ(g.rev_mode, '1');
}

TEST(Build, FramesTheFieldWithBlankCornersAndLeavesTheRestAlone) {
    const struct {
        int max_r, max_l;
        char mode;
        std::vector<std::string> rows;
    } cases[] = {
        {3, 8, '2', {" # ", "# #", "# #", "# #", "# #", "# #", "# #", " # "}},
        {3, 3, '1', {" \x1e ", "\x11 \x10", " \x1f "}},
        {5, 4, '1', {" \x1e\x1e\x1e ", "\x11   \x10", "\x11   \x10", " \x1f\x1f\x1f "}},
        {6, 3, '2', {" #### ", "#    #", " #### "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.max_r) + "x" + std::to_string(c.max_l));
        GameState g;
        for (auto& row : g.map) row.fill('Z');  // stale bytes of a larger field
        rev(g, c.mode);
        g.max_r = c.max_r, g.max_l = c.max_l;
        g.bomb_num = g.power_num = g.live_num = 7;
        g.left = 9, g.x = 2, g.y = 1, g.score = 4, g.power_left = 5, g.live_left = 6;
        build(g);
        std::vector<std::string> rows;
        for (int i = 0; i < g.max_l; ++i) rows.emplace_back(g.map[i].data(), static_cast<std::size_t>(g.max_r));
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(g.map[0][c.max_r], 'Z');
        EXPECT_EQ(g.map[c.max_l][0], 'Z');
        EXPECT_EQ(g.bomb_num + g.power_num + g.live_num, 0);
        // What a spent power relies on: the game itself goes on.
        EXPECT_EQ(std::vector<int>({g.left, g.x, g.y, g.score, g.power_left, g.live_left}),
                  std::vector<int>({9, 2, 1, 4, 5, 6}));
    }
}

}  // namespace
}  // namespace skarvel
