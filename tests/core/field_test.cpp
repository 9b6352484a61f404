#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game_state.h"

namespace skarvel {
namespace {

std::string flat(const GlyphSet& s) {
    return {s.player, s.player_dead, s.bomb, s.pow, s.live, s.side_u, s.side_d, s.side_l, s.side_r, s.p, s.p_3};
}

TEST(Rev, LoadsTheGlyphSetOfTheMode) {
    GameState g;
    rev(g, '2');
    EXPECT_EQ(flat(g.glyphs), "@!*%$####>|");
    EXPECT_EQ(g.rev_mode, '2');
    rev(g, '1');
    EXPECT_EQ(flat(g.glyphs), "\x01\x02\x0f\x15\x03\x1e\x1f\x11\x10\x1a\x18");
    EXPECT_EQ(g.rev_mode, '1');
}

TEST(Rev, AnyOtherModeChangesNothing) {
    for (const char mode : {'3', '0', ' ', 'h', '\0'}) {
        SCOPED_TRACE(static_cast<int>(mode));
        GameState g;
        rev(g, '2');
        rev(g, mode);
        EXPECT_EQ(flat(g.glyphs), "@!*%$####>|");
        EXPECT_EQ(g.rev_mode, '2');
    }
    GameState fresh;
    rev(fresh, '3');
    EXPECT_EQ(flat(fresh.glyphs), std::string(11, '\0'));
    EXPECT_EQ(fresh.rev_mode, '1');
}

struct BuildCase {
    int max_r, max_l;
    char mode;
    std::vector<std::string> rows;
};

void PrintTo(const BuildCase& c, std::ostream* os) { *os << c.max_r << "x" << c.max_l << " mode " << c.mode; }

class Build : public ::testing::TestWithParam<BuildCase> {};

TEST_P(Build, FramesTheFieldWithBlankCornersAndLeavesTheRestAlone) {
    const BuildCase& c = GetParam();
    GameState g;
    for (auto& row : g.map) row.fill('Z');  // stale bytes of a larger field
    rev(g, c.mode);
    g.max_r = c.max_r;
    g.max_l = c.max_l;
    g.bomb_num = g.power_num = g.live_num = 7;
    g.left = 9, g.x = 2, g.y = 1, g.score = 4, g.power_left = 5, g.live_left = 6;
    build(g);

    std::vector<std::string> rows;
    for (int i = 0; i < g.max_l; ++i) rows.emplace_back(g.map[i].data(), static_cast<std::size_t>(g.max_r));
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(g.map[0][c.max_r], 'Z');
    EXPECT_EQ(g.map[c.max_l][0], 'Z');
    EXPECT_EQ(g.bomb_num + g.power_num + g.live_num, 0);
    EXPECT_EQ(g.left, 9);
    EXPECT_EQ(g.x, 2);
    EXPECT_EQ(g.y, 1);
    EXPECT_EQ(g.score, 4);
    EXPECT_EQ(g.power_left, 5);
    EXPECT_EQ(g.live_left, 6);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Build,
    ::testing::Values(BuildCase{3, 3, '2', {" # ", "# #", " # "}},
                      BuildCase{3, 8, '2', {" # ", "# #", "# #", "# #", "# #", "# #", "# #", " # "}},
                      BuildCase{3, 3, '1', {" \x1e ", "\x11 \x10", " \x1f "}},
                      BuildCase{5, 4, '1', {" \x1e\x1e\x1e ", "\x11   \x10", "\x11   \x10", " \x1f\x1f\x1f "}},
                      BuildCase{6, 3, '2', {" #### ", "#    #", " #### "}}));

}  // namespace
}  // namespace skarvel
