#include "core/game_loop.h"

#include "core/colours.h"
#include "core/game_screen.h"
#include "core/keys.h"
#include "core/move.h"
#include "core/spawners.h"

namespace skarvel {

namespace {

// A move key and where it takes the player. The arrows stand for H, P, K
// and M, so those letters move too.
struct MoveKey {
    char letter;
    int rows;
    int cols;
};
constexpr MoveKey MOVE_KEYS[] = {
    {'W', -1, 0}, {'H', -1, 0},  // up
    {'S', +1, 0}, {'P', +1, 0},  // down
    {'A', 0, -1}, {'K', 0, -1},  // left
    {'D', 0, +1}, {'M', 0, +1},  // right
};
constexpr char SPEND_POWER = 'X';
constexpr char RESTART = 'R';
constexpr char QUIT = 'Q';

// Sets up a new game on the built field and places the player.
void start_game(GameState& g, Terminal& term) {
    g.bombs_placed = 0;
    g.powers_held = 0;
    g.powers_on_field = 0;
    g.lives_held = 1;
    g.lives_on_field = 0;
    g.budget = (g.rows - 2) * (g.cols - 2) - 1;  // the interior less the player's cell
    g.score = -1;                                // the first move counts it up to 0
    reseed(g, term);
    const Cell start = draw_interior_cell(g);
    g.row = start.row;
    g.col = start.col;
}

// Moves the player one cell; off one edge of the interior, back in at the other.
void move_player(GameState& g, const MoveKey& key) {
    g.row += key.rows;
    if (g.row == 0) g.row = g.rows - 2;
    if (g.row == g.rows - 1) g.row = 1;
    g.col += key.cols;
    if (g.col == 0) g.col = g.cols - 2;
    if (g.col == g.cols - 1) g.col = 1;
}

enum class Command { moved, restart, quit };

// Reads keys until one moves the player, restarts or quits. X spends a held
// power on the way; that is no move.
Command read_command(GameState& g, Terminal& term) {
    for (;;) {
        const char letter = read_letter(term);
        for (const MoveKey& key : MOVE_KEYS) {
            if (key.letter != letter) continue;
            move_player(g, key);
            return Command::moved;
        }
        if (letter == SPEND_POWER && g.powers_held > 0) {
            spend_power(g, term);
            draw_game_screen(g, term);
            g.field[g.row][g.col] = EMPTY;
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
        switch (make_move(g, term)) {
            case Outcome::game_over: return GameEnd::lost;
            case Outcome::won: return GameEnd::won;
            case Outcome::goes_on: break;
        }
        switch (read_command(g, term)) {
            case Command::moved: break;
            case Command::restart: return GameEnd::restart;
            case Command::quit: return GameEnd::quit;
        }
    }
}

void show_game_over(GameState& g, Terminal& term) {
    flash(term, Flash::game_over);
    g.field[g.row][g.col] = g.glyphs.player_hit;
    draw_game_screen(g, term);
    term.sleep_ms(200);
    term.unmark_cursor();  // from here on the cursor follows the text to the prompt
    term.printf("GAMEOVER!\a\n");
    term.sleep_ms(800);
    if (g.score > g.best_score) {
        restore_colours(g, term);
        term.printf("New high score!\n");
        g.best_score = g.score;
    }
    restore_colours(g, term);
}

void show_win(GameState& g, Terminal& term) {
    count_up(g.games_won);
    g.field[g.row][g.col] = g.glyphs.player;
    draw_game_screen(g, term);
    term.unmark_cursor();
    term.printf("YOU ARE A WINNER!\a\n");
}

// Offers Retry (true) or Back (false) at the end of a game.
bool ask_retry(const GameState& g, Terminal& term) {
    term.printf("\n\t\t%c Retry (R)\n", g.glyphs.pointer);
    term.printf("\t\t%c Back (B)\n", g.glyphs.pointer);
    for (;;) {
        const char letter = read_letter(term);
        if (letter == 'R') return true;
        if (letter == 'B') return false;
    }
}

}  // namespace

GamesLeft play_games(GameState& g, Terminal& term) {
    for (;;) {
        start_game(g, term);
        const GameEnd end = play_game(g, term);
        if (end == GameEnd::quit) return GamesLeft::mid_game;
        if (end != GameEnd::restart) {
            if (end == GameEnd::lost) {
                show_game_over(g, term);
            } else {
                show_win(g, term);
            }
            if (!ask_retry(g, term)) return GamesLeft::after_game_end;
        }
        build_field(g);
    }
}

}  // namespace skarvel
