#include "core/turn.h"

#include "core/colours.h"
#include "core/game_screen.h"
#include "core/spawners.h"

namespace skarvel {

namespace {

// Shows the player hit for half a second in the hit colours.
void flash_hit(const GameState& g, Terminal& term) {
    flash(term, Flash::hit);
    draw_game_screen(g, term, Cell::player_hit);
    term.sleep_ms(500);
    draw_game_screen(g, term, Cell::player);
    restore_colours(g, term);
}

}  // namespace

Outcome play_turn(GameState& g, Terminal& term) {
    const Outcome outcome = resolve_entered_cell(g);
    if (outcome == Outcome::won || outcome == Outcome::game_over) return outcome;
    if (outcome == Outcome::hit) flash_hit(g, term);
    saturating_increment(g.score);
    spawn_after_move(g, term);
    draw_game_screen(g, term, Cell::player);
    return outcome;
}

}  // namespace skarvel
