#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game_state.h"

namespace skarvel {
namespace {

TEST(BuildField, FramesTheFieldWithBlankCornersAndLeavesTheRestAlone) {
    // The borders as their sides: ^ top, v bottom, < left, > right.
    const struct {
        int cols, rows;
        std::vector<std::string> lines;
    } cases[] = {
        {3, 8, {" ^ ", "< >", "< >", "< >", "< >", "< >", "< >", " v "}},
        {3, 3, {" ^ ", "< >", " v "}},
        {5, 4, {" ^^^ ", "<   >", "<   >", " vvv "}},
        {6, 3, {" ^^^^ ", "<    >", " vvvv "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows));
        GameState g;
        for (auto& row : g.field) row.fill(Cell::extra_life);  // what a larger field left
        g.cols = c.cols, g.rows = c.rows;
        g.bombs_placed = g.powers_on_field = g.lives_on_field = 7;
        g.placements_to_win = 9, g.row = 2, g.col = 1, g.score = 4, g.powers_held = 5, g.lives_held = 6;
        build_field(g);
        std::vector<std::string> lines;
        for (int i = 0; i < g.rows; ++i) {
            std::string& line = lines.emplace_back();
            for (int j = 0; j < g.cols; ++j) line += " ^v<>*%$"[static_cast<int>(g.field[i][j])];
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(g.field[0][c.cols], Cell::extra_life);
        EXPECT_EQ(g.field[c.rows][0], Cell::extra_life);
        EXPECT_EQ(g.bombs_placed + g.powers_on_field + g.lives_on_field, 0);
        // What a spent power relies on: the game itself goes on.
        EXPECT_EQ(std::vector<int>({g.placements_to_win, g.row, g.col, g.score, g.powers_held, g.lives_held}),
                  std::vector<int>({9, 2, 1, 4, 5, 6}));
    }
}

TEST(Counters, StopAtTheLargest32BitValue) {
    std::int32_t n = INT32_MAX - 1;
    saturating_increment(n);
    EXPECT_EQ(n, INT32_MAX);
    saturating_increment(n);
    EXPECT_EQ(n, INT32_MAX);
}

}  // namespace
}  // namespace skarvel
