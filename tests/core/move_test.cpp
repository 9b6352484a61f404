#include "core/move.h"

#include <gtest/gtest.h>

#include <string>

#include "core/game_screen.h"
#include "support/rules_fixture.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using namespace testing;

std::string screen_with(const GameState& g, char player) {
    ScriptedTerminal t;
    draw_game_screen(g, t, player);
    return t.transcript();
}

TEST(ResolveEnteredCell, CostsALifeCollectsOrWins) {
    const struct {
        char cell;
        int lives, budget;
        Outcome outcome;
        int lives_after, powers_held_after, powers_on_field_after, lives_on_field_after;
        char cell_after;
    } cases[] = {
        {'*', 1, 9, Outcome::game_over, 0, 0, 2, 2, '*'},  // the last life lost
        {'*', 0, 9, Outcome::game_over, 0, 0, 2, 2, '*'},  // and again on the same cell
        {'*', 2, 9, Outcome::hit, 1, 0, 2, 2, ' '},
        {'%', 1, 1, Outcome::collected, 1, 1, 1, 2, ' '},  // items never win
        {'$', 1, 1, Outcome::collected, 2, 0, 2, 1, ' '},
        {' ', 1, 1, Outcome::won, 1, 0, 2, 2, ' '},
        {' ', 1, 0, Outcome::goes_on, 1, 0, 2, 2, ' '},
        {' ', 1, 2, Outcome::goes_on, 1, 0, 2, 2, ' '},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.cell) + " lives " + std::to_string(c.lives) + " budget " +
                     std::to_string(c.budget));
        GameState g = field();
        g.row = 4, g.col = 5;
        g.field[4][5] = c.cell;
        g.lives_held = c.lives, g.budget = c.budget, g.powers_on_field = 2, g.lives_on_field = 2;
        EXPECT_EQ(resolve_entered_cell(g), c.outcome);
        EXPECT_EQ(g.lives_held, c.lives_after);
        EXPECT_EQ(g.powers_held, c.powers_held_after);
        EXPECT_EQ(g.powers_on_field, c.powers_on_field_after);
        EXPECT_EQ(g.lives_on_field, c.lives_on_field_after);
        EXPECT_EQ(g.budget, c.budget);
        EXPECT_EQ(g.field[4][5], c.cell_after);
    }
}

TEST(MakeMove, ABombWithALifeToSpareFlashesTheHitThenMovesOn) {
    GameState g = field();
    g.field[2][3] = g.glyphs.bomb;
    g.lives_held = 2;
    GameState shown = g;
    shown.lives_held = 1;
    shown.field[2][3] = EMPTY;
    ScriptedTerminal t;
    EXPECT_EQ(make_move(g, t), Outcome::hit);
    EXPECT_EQ(g.lives_held, 1);
    EXPECT_EQ(g.score, 1);
    const std::string hit = "<FLASH 48>" + screen_with(shown, '!') + "{500}" + screen_with(shown, '@') + "<COLOR 79>";
    EXPECT_EQ(t.transcript(), hit + screen_with(g, '@'));
    EXPECT_EQ(g.colour_scheme, 5);
}

}  // namespace
}  // namespace skarvel
