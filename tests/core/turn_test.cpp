#include "core/turn.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "core/game_screen.h"
#include "support/rules_fixture.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using namespace testing;

std::string screen_with(const GameState& g, Cell player) {
    ScriptedTerminal t;
    draw_game_screen(g, t, player);
    return t.transcript();
}

TEST(ResolveEnteredCell, CostsALifeCollectsOrWins) {
    const struct {
        Cell cell;
        int lives, placements_to_win;
        Outcome outcome;
        int lives_after, powers_held_after, powers_on_field_after, lives_on_field_after;
        Cell cell_after;
    } cases[] = {
        {Cell::bomb, 1, 9, Outcome::game_over, 0, 0, 2, 2, Cell::bomb},  // the last life lost
        {Cell::bomb, 0, 9, Outcome::game_over, 0, 0, 2, 2, Cell::bomb},  // and again on the same cell
        {Cell::bomb, 2, 9, Outcome::hit, 1, 0, 2, 2, Cell::empty},
        {Cell::power, 1, 0, Outcome::collected, 1, 1, 1, 2, Cell::empty},  // items never win
        {Cell::extra_life, 1, 0, Outcome::collected, 2, 0, 2, 1, Cell::empty},
        {Cell::empty, 1, 0, Outcome::won, 1, 0, 2, 2, Cell::empty},
        {Cell::empty, 1, -1, Outcome::plain_move, 1, 0, 2, 2, Cell::empty},
        {Cell::empty, 1, 1, Outcome::plain_move, 1, 0, 2, 2, Cell::empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("cell " + std::to_string(static_cast<int>(c.cell)) + " lives " + std::to_string(c.lives) +
                     " placements to win " + std::to_string(c.placements_to_win));
        GameState g = field();
        g.row = 4, g.col = 5;
        g.field[4][5] = c.cell;
        g.lives_held = c.lives, g.placements_to_win = c.placements_to_win, g.powers_on_field = 2, g.lives_on_field = 2;
        EXPECT_EQ(resolve_entered_cell(g), c.outcome);
        EXPECT_EQ(std::tuple(g.lives_held, g.powers_held, g.powers_on_field, g.lives_on_field, g.placements_to_win),
                  std::tuple(c.lives_after, c.powers_held_after, c.powers_on_field_after, c.lives_on_field_after,
                             c.placements_to_win));
        EXPECT_EQ(g.field[4][5], c.cell_after);
    }
}

TEST(PlayTurn, ABombWithALifeToSpareFlashesTheHitThenMovesOn) {
    GameState g = field();
    g.field[2][3] = Cell::bomb;
    g.lives_held = 2;
    GameState shown = g;
    shown.lives_held = 1;
    shown.field[2][3] = Cell::empty;
    ScriptedTerminal t;
    EXPECT_EQ(play_turn(g, t), Outcome::hit);
    EXPECT_EQ(std::pair(g.lives_held, g.score), std::pair(1, 1));
    const std::string hit = "<flash_colours(red, grey)>" + screen_with(shown, Cell::player_hit) + "{500}" +
                            screen_with(shown, Cell::player) + "<set_colours(white, light_blue)>";
    EXPECT_EQ(t.transcript(), hit + screen_with(g, Cell::player));
    EXPECT_EQ(g.colour_scheme, 5);
}

}  // namespace
}  // namespace skarvel
