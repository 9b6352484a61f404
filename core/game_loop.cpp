#include "core/game_loop.h"

#include "core/colours.h"
#include "core/game_screen.h"
#include "core/keys.h"
#include "core/spawners.h"
#include "core/turn.h"

namespace skarvel {

namespace {

constexpr char SPEND_POWER = 'X';
constexpr char RESTART = 'R';
constexpr char QUIT = 'Q';

// Sets up a new game on the built field (whose counts build_field has
// zeroed) and places the player.
void start_game(GameState& g, Clock& clock) {
    g.powers_held = 0;
    g.lives_held = 1;
    // Every interior cell but the player's and the one the winning step enters.
    g.placements_to_win = (g.rows - 2) * (g.cols - 2) - 2;
    g.score = -1;  // the first move counts it up to 0
    reseed(g, clock);
    const Position start = pick_interior_cell(g);
    g.row = start.row;
    g.col = start.col;
}

// Spends a held power in the power's flash and shows the field it leaves.
void spend_power_in_flash(GameState& g, Terminal& term) {
    flash(term, Flash::power);
    spend_power(g, term);
    term.sleep_ms(20);
    restore_colours(g, term);
    draw_game_screen(g, term, Cell::player);
}

enum class Command { moved, restart, quit };

// Reads keys until one moves the player, restarts or quits. X spends a held
// power on the way; that is no move.
Command read_command(GameState& g, Terminal& term) {
    for (;;) {
        const char letter = read_letter(term);
        if (const auto direction = direction_of(letter)) {
            move_player(g, *direction);
            return Command::moved;
        }
        if (letter == SPEND_POWER && g.powers_held > 0) {
            spend_power_in_flash(g, term);
        } else if (letter == RESTART) {
            return Command::restart;
        } else if (letter == QUIT) {
            return Command::quit;
        }
    }
}

enum class GameEnd { lost, won, restart, quit };

// Makes moves until the game ends or the player restarts or quits.
GameEnd play_game(GameState& g, Terminal& term) {
    for (;;) {
        switch (play_turn(g, term)) {
            case Outcome::game_over: return GameEnd::lost;
            case Outcome::won: return GameEnd::won;
            case Outcome::plain_move:
            case Outcome::hit:
            case Outcome::collected: break;
        }
        switch (read_command(g, term)) {
            case Command::moved: break;
            case Command::restart: return GameEnd::restart;
            case Command::quit: return GameEnd::quit;
        }
    }
}

void announce_game_over(GameState& g, Terminal& term) {
    flash(term, Flash::game_over);
    draw_game_screen(g, term, Cell::player_hit);
    term.sleep_ms(200);
    term.unmark_cursor();  // from here on the cursor follows the text to the prompt
    term.printf("GAMEOVER!\a\n");
    term.sleep_ms(800);
    // With a new best score the scheme is restored before its line, and then
    // again as after every game over; the second call is deliberate.
    if (g.score > g.best_score) {
        restore_colours(g, term);
        term.printf("New high score!\n");
        g.best_score = g.score;
    }
    restore_colours(g, term);
}

void announce_win(GameState& g, Terminal& term) {
    saturating_increment(g.games_won);
    draw_game_screen(g, term, Cell::player);
    term.unmark_cursor();
    term.printf("YOU ARE A WINNER!\a\n");
}

// Offers Retry (true) or Back (false) at the end of a game.
bool ask_retry(const GameState& g, Terminal& term) {
    term.printf("\n\t\t%c Retry (R)\n", g.glyphs().bullet);
    term.printf("\t\t%c Back (B)\n", g.glyphs().bullet);
    return wait_for_letter(term, "RB") == 'R';
}

}  // namespace

PlayExit play_games(GameState& g, Terminal& term) {
    for (;;) {
        start_game(g, term);
        const GameEnd end = play_game(g, term);
        if (end == GameEnd::quit) return PlayExit::quit_mid_game;
        if (end != GameEnd::restart) {
            if (end == GameEnd::lost) {
                announce_game_over(g, term);
            } else {
                announce_win(g, term);
            }
            if (!ask_retry(g, term)) return PlayExit::back_after_game;
        }
        build_field(g);
    }
}

}  // namespace skarvel
