#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "core/display.h"
#include "core/rules.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using testing::ScriptedTerminal;

constexpr std::int64_t NOW = 1'700'000'000;

// The first second from NOW on whose first draw satisfies `want`.
std::int64_t second_where(const std::function<bool(unsigned long)>& want) {
    for (std::int64_t s = NOW;; ++s) {
        std::minstd_rand e(static_cast<std::minstd_rand::result_type>(s));
        if (want(e())) return s;
    }
}

// An empty 40x20 field in display mode '2' with the player at (2, 3).
GameState field(int lev = 1) {
    GameState g;
    rev(g, '2');
    build(g);
    g.lev = lev, g.left = 500, g.x = 2, g.y = 3, g.live_left = 1, g.color = '5';
    g.map[2][3] = g.glyphs.player;
    return g;
}

int count(const GameState& g, char glyph) {
    int n = 0;
    for (int i = 1; i < g.max_l - 1; ++i)
        for (int j = 1; j < g.max_r - 1; ++j) n += g.map[i][j] == glyph;
    return n;
}

std::string screen_with(GameState g, char player) {
    g.map[g.x][g.y] = player;
    ScriptedTerminal t;
    print(g, t);
    return t.transcript();
}

TEST(Judge, ResolvesTheEnteredCellQuietly) {
    const struct {
        char cell;
        int live_left, left;
        int result, live_left_after, power_left_after, power_num_after, live_num_after;
    } cases[] = {
        {'*', 1, 9, -1, 0, 0, 2, 2},  // last life lost: no flash
        {'*', 0, 9, -1, 0, 0, 2, 2},  // and again on the same cell
        {'%', 1, 1, 0, 1, 1, 1, 2},   // items never win
        {'$', 1, 1, 0, 2, 0, 2, 1},
        {' ', 1, 1, 1, 1, 0, 2, 2},
        {' ', 1, 0, 0, 1, 0, 2, 2},
        {' ', 1, 2, 0, 1, 0, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.cell) + " lives " + std::to_string(c.live_left) + " left " + std::to_string(c.left));
        GameState g = field();
        g.map[4][5] = c.cell;
        g.live_left = c.live_left, g.left = c.left, g.power_num = 2, g.live_num = 2;
        ScriptedTerminal t;
        EXPECT_EQ(judge(g, t, 4, 5), c.result);
        EXPECT_EQ(g.live_left, c.live_left_after);
        EXPECT_EQ(g.power_left, c.power_left_after);
        EXPECT_EQ(g.power_num, c.power_num_after);
        EXPECT_EQ(g.live_num, c.live_num_after);
        EXPECT_EQ(g.left, c.left);
        EXPECT_EQ(g.map[4][5], c.cell);
        EXPECT_EQ(t.transcript(), "");
    }
}

TEST(Judge, BombWithALifeToSpareFlashesTheHit) {
    GameState g = field();
    g.map[2][3] = g.glyphs.bomb;
    g.live_left = 2;
    GameState shown = g;
    shown.live_left = 1;
    ScriptedTerminal t;
    EXPECT_EQ(judge(g, t, 2, 3), 0);
    EXPECT_EQ(g.live_left, 1);
    EXPECT_EQ(t.transcript(), "<COLOR 48>" + screen_with(shown, '!') + "{500}" + screen_with(shown, '@') + "<COLOR 79>");
    EXPECT_EQ(g.color, '5');
}

TEST(Bombs, ScatterOneAMoveTwoAtLevelNineAndThreeAtTenButNeverTakeTheBudgetBelowOne) {
    const struct {
        int lev, left, placed;
    } cases[] = {
        {1, 500, 1}, {2, 500, 1}, {3, 500, 1}, {4, 500, 1}, {5, 500, 1}, {6, 500, 1}, {7, 500, 1},
        {8, 500, 1}, {9, 500, 2}, {10, 500, 3}, {10, 3, 2},  {10, 2, 1},  {9, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.lev) + " left " + std::to_string(c.left));
        GameState g = field(c.lev);
        g.left = c.left;
        ScriptedTerminal t;
        bombs(g, t);
        EXPECT_EQ(g.bomb_num, c.placed);
        EXPECT_EQ(count(g, '*'), c.placed);
        EXPECT_EQ(g.left, c.left - c.placed);
        EXPECT_EQ(g.map[2][3], '@');
    }
}

TEST(Bombs, DrawsRowThenColumnFromTheClockAndSkipsTakenCells) {
    std::minstd_rand e(NOW);
    const unsigned long r1 = e(), r2 = e();
    GameState g = field();
    ScriptedTerminal t(NOW);
    bombs(g, t);
    ASSERT_EQ(g.map[r1 % 18 + 1][r2 % 38 + 1], '*');

    g = field();
    g.map[r1 % 18 + 1][r2 % 38 + 1] = '$';
    bombs(g, t);
    EXPECT_EQ(count(g, '*'), 1);
    EXPECT_EQ(g.map[r1 % 18 + 1][r2 % 38 + 1], '$');
}

TEST(Drops, PowerAndLifeItemsFallWhenTheFirstDrawIsAMultipleOfTheOdds) {
    const struct {
        int lev;
        std::function<bool(unsigned long)> first_draw;
        bool power, life;
    } cases[] = {
        {1, [](unsigned long r) { return r % 20 == 0; }, true, true},
        {1, [](unsigned long r) { return r % 10 == 0 && r % 20 != 0; }, true, false},
        {1, [](unsigned long r) { return r % 10 != 0; }, false, false},
        {10, [](unsigned long r) { return r % 200 == 0; }, true, true},
        {10, [](unsigned long r) { return r % 100 == 0 && r % 200 != 0; }, true, false},
        {10, [](unsigned long r) { return r % 10 == 0 && r % 100 != 0; }, false, false},
    };
    for (const auto& c : cases) {
        const std::int64_t s = second_where(c.first_draw);
        SCOPED_TRACE("level " + std::to_string(c.lev) + " second " + std::to_string(s));
        GameState g = field(c.lev);
        ScriptedTerminal t(s);
        powers(g, t, 1);
        lives(g, t);
        EXPECT_EQ(g.power_num, c.power);
        EXPECT_EQ(count(g, '%'), c.power);
        EXPECT_EQ(g.live_num, c.life);
        EXPECT_EQ(count(g, '$'), c.life);
        EXPECT_EQ(g.left, 500 - c.power - c.life);
        EXPECT_EQ(g.map[2][3], '@');
        EXPECT_EQ(t.transcript(), "");
    }
}

TEST(Drops, SkipTheDropWhenNoBlankIsLeft) {
    GameState g = field();
    for (int i = 1; i < g.max_l - 1; ++i)
        for (int j = 1; j < g.max_r - 1; ++j) g.map[i][j] = '*';
    g.left = 0;
    ScriptedTerminal t(second_where([](unsigned long r) { return r % 20 == 0; }));
    powers(g, t, 1);
    lives(g, t);
    bombs(g, t);
    EXPECT_EQ(g.power_num + g.live_num + g.bomb_num, 0);
    EXPECT_EQ(g.left, 0);
}

TEST(Powers, SpendingOneWipesTheFieldAndScattersTenFewerBombs) {
    const struct {
        int lev, bomb_num, left;
        int bombs_after, left_after;
    } cases[] = {
        {1, 4, 500, 1, 499},  {9, 4, 500, 2, 498},  {10, 4, 500, 3, 497},
        {1, 25, 500, 16, 484}, {1, 25, 5, 4, 1},  // the refill stops with the budget
        {1, 25, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.lev) + " bombs " + std::to_string(c.bomb_num) + " left " +
                     std::to_string(c.left));
        GameState g = field(c.lev);
        for (int j = 1; j < 30; ++j) g.map[5][j] = "*%$"[j % 3];
        g.bomb_num = c.bomb_num, g.power_num = 9, g.live_num = 9, g.left = c.left;
        g.power_left = 3, g.live_left = 2;
        ScriptedTerminal t;
        powers(g, t, 2);
        EXPECT_EQ(g.bomb_num, c.bombs_after);
        EXPECT_EQ(count(g, '*'), c.bombs_after);
        EXPECT_EQ(count(g, '%') + count(g, '$') + g.power_num + g.live_num, 0);
        EXPECT_EQ(g.left, c.left_after);
        EXPECT_EQ(g.power_left, 2);
        EXPECT_EQ(g.live_left, 2);
        EXPECT_EQ(g.map[2][3], '@');
        EXPECT_EQ(t.transcript(), "<COLOR 04>{20}<COLOR 79>");
        EXPECT_EQ(g.color, '5');
    }
}

}  // namespace
}  // namespace skarvel
