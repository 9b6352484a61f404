#include "core/spawners.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <tuple>

#include "support/rules_fixture.h"

namespace skarvel {
namespace {

using namespace testing;

TEST(ScatterBombs, OneAMoveTwoAtLevelNineAndThreeAtTenButNoneOnceTheWinIsDue) {
    const struct {
        int level, placements_to_win, placed;
    } cases[] = {
        {1, 500, 1}, {2, 500, 1}, {3, 500, 1},  {4, 500, 1}, {5, 500, 1}, {6, 500, 1}, {7, 500, 1},
        {8, 500, 1}, {9, 500, 2}, {10, 500, 3}, {10, 2, 2},  {10, 1, 1},  {9, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " placements to win " + std::to_string(c.placements_to_win));
        GameState g = field(c.level);
        g.placements_to_win = c.placements_to_win;
        FixedClock t;
        scatter_bombs(g, t);
        EXPECT_EQ(std::tuple(g.bombs_placed, count(g, Cell::bomb), g.placements_to_win),
                  std::tuple(c.placed, c.placed, c.placements_to_win - c.placed));
        EXPECT_EQ(g.field[2][3], Cell::empty);  // nothing lands on the player
    }
}

// Reseeded with NOW, the generator gives 1054880836, 1168080539, 85062437,
// 60163363: on the 40x20 field the first cell picked is row 1054880836 % 18
// + 1 = 17, column 1168080539 % 38 + 1 = 22; the next (18, 16).
TEST(ScatterBombs, PickRowThenColumnFromTheClockAndSkipTakenCells) {
    GameState g = field();
    FixedClock t;
    scatter_bombs(g, t);
    EXPECT_EQ(g.field[17][22], Cell::bomb);

    g = field();
    g.field[17][22] = Cell::extra_life;
    scatter_bombs(g, t);
    EXPECT_EQ(g.field[17][22], Cell::extra_life);
    EXPECT_EQ(g.field[18][16], Cell::bomb);
    EXPECT_EQ(count(g, Cell::bomb), 1);
}

TEST(Drops, PowerAndLifeItemsFallWhenTheFirstDrawIsAMultipleOfTheOdds) {
    const struct {
        int level;
        std::function<bool(unsigned long)> first_draw;
        bool power, life;
        int cols = 40;
    } cases[] = {
        {1, [](unsigned long r) { return r % 20 == 0; }, true, true},
        {1, [](unsigned long r) { return r % 10 == 0 && r % 20 != 0; }, true, false},
        {1, [](unsigned long r) { return r % 10 != 0; }, false, false},
        {10, [](unsigned long r) { return r % 200 == 0; }, true, true},
        {10, [](unsigned long r) { return r % 100 == 0 && r % 200 != 0; }, true, false},
        {10, [](unsigned long r) { return r % 10 == 0 && r % 100 != 0; }, false, false},
        {1, [](unsigned long r) { return r % 20 == 0; }, true, true, 3},  // one interior column
    };
    for (const auto& c : cases) {
        const std::int64_t s = second_where(c.first_draw);
        SCOPED_TRACE("level " + std::to_string(c.level) + " second " + std::to_string(s));
        GameState g = field(c.level);
        g.cols = c.cols;
        build_field(g);
        g.col = std::min(g.col, c.cols - 2);
        FixedClock t(s);
        maybe_drop_power(g, t);
        maybe_drop_life(g, t);
        EXPECT_EQ(std::tuple(g.powers_on_field, count(g, Cell::power), g.lives_on_field, count(g, Cell::extra_life)),
                  std::tuple(c.power, c.power, c.life, c.life));
        EXPECT_EQ(g.placements_to_win, 500 - c.power - c.life);
        EXPECT_EQ(g.field[2][3], Cell::empty);  // nothing lands on the player
    }
}

// Past the field in use the grid still holds the empty cells of a larger
// field built earlier; only the interior counts, and so does the player.
TEST(Drops, SkipTheDropWhenNoFreeCellIsLeft) {
    GameState g = field();
    g.cols = GRID_COLS, g.rows = GRID_ROWS;
    build_field(g);
    g.cols = 40, g.rows = 20;
    build_field(g);
    for (int i = 1; i < g.rows - 1; ++i)
        for (int j = 1; j < g.cols - 1; ++j) g.field[i][j] = i == g.row && j == g.col ? Cell::empty : Cell::bomb;
    g.placements_to_win = -1;
    FixedClock t(second_where([](unsigned long r) { return r % 20 == 0; }));
    ::alarm(10);  // a search that never ends fails here
    maybe_drop_power(g, t);
    maybe_drop_life(g, t);
    scatter_bombs(g, t);
    ::alarm(0);
    EXPECT_EQ(g.powers_on_field + g.lives_on_field + g.bombs_placed, 0);
    EXPECT_EQ(g.placements_to_win, -1);
    EXPECT_EQ(g.field[g.row][g.col], Cell::empty);
}

TEST(SpendPower, WipesTheFieldAndScattersAllButNineBombs) {
    const struct {
        int level, bombs, placements_to_win;
        int bombs_after, placements_to_win_after;
    } cases[] = {
        {1, 4, 500, 1, 499},   {9, 4, 500, 2, 498},  {10, 4, 500, 3, 497},
        {1, 10, 500, 1, 499},  {1, 11, 500, 2, 498}, {1, 12, 500, 3, 497},  // all but nine, at least one
        {1, 25, 500, 16, 484}, {1, 25, 4, 4, 0},                            // the refill stops with the placements
        {1, 25, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " bombs " + std::to_string(c.bombs) + " placements to win " +
                     std::to_string(c.placements_to_win));
        GameState g = field(c.level);
        for (int j = 1; j < 30; ++j) g.field[5][j] = std::array{Cell::bomb, Cell::power, Cell::extra_life}[j % 3];
        g.bombs_placed = c.bombs, g.powers_on_field = 9, g.lives_on_field = 9,
        g.placements_to_win = c.placements_to_win;
        g.powers_held = 3, g.lives_held = 2;
        FixedClock t;
        spend_power(g, t);
        EXPECT_EQ(std::tuple(g.bombs_placed, count(g, Cell::bomb), g.placements_to_win, g.powers_held, g.lives_held),
                  std::tuple(c.bombs_after, c.bombs_after, c.placements_to_win_after, 2, 2));
        EXPECT_EQ(count(g, Cell::power) + count(g, Cell::extra_life) + g.powers_on_field + g.lives_on_field, 0);
        EXPECT_EQ(g.field[2][3], Cell::empty);  // nothing lands on the player
    }
}

}  // namespace
}  // namespace skarvel
