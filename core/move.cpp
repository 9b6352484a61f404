#include "core/move.h"

#include "core/colours.h"
#include "core/game_screen.h"
#include "core/spawners.h"

namespace skarvel {

namespace {

// Shows the player hit for half a second in the hit colours.
void show_hit(GameState& g, Terminal& term) {
    flash(term, Flash::hit);
    g.field[g.row][g.col] = g.glyphs.player_hit;
    draw_game_screen(g, term);
    term.sleep_ms(500);
    g.field[g.row][g.col] = g.glyphs.player;
    draw_game_screen(g, term);
    restore_colours(g, term);
}

}  // namespace

Outcome resolve_entered_cell(GameState& g, Terminal& term) {
    const char cell = g.field[g.row][g.col];
    if (cell == g.glyphs.bomb) {
        if (--g.lives_held <= 0) {
            g.lives_held = 0;
            return Outcome::game_over;
        }
        show_hit(g, term);
        return Outcome::goes_on;
    }
    if (cell == g.glyphs.power) {
        ++g.powers_held;
        --g.powers_on_field;
        return Outcome::goes_on;
    }
    if (cell == g.glyphs.life) {
        ++g.lives_held;
        --g.lives_on_field;
        return Outcome::goes_on;
    }
    return g.budget == 1 ? Outcome::won : Outcome::goes_on;
}

Outcome make_move(GameState& g, Terminal& term) {
    const Outcome outcome = resolve_entered_cell(g, term);
    if (outcome != Outcome::goes_on) return outcome;
    count_up(g.score);
    g.field[g.row][g.col] = g.glyphs.player;  // nothing lands on the player
    maybe_drop_power(g, term);
    maybe_drop_life(g, term);
    scatter_bombs(g, term);
    draw_game_screen(g, term);
    g.field[g.row][g.col] = EMPTY;
    return Outcome::goes_on;
}

}  // namespace skarvel
