#include "core/play.h"

#include "console/services.h"
#include "core/display.h"
#include "core/rules.h"
#include "records/records.h"

namespace skarvel {

namespace {

// Sets up a new game on the built field and places the player.
void start_game(GameState& g, Terminal& term) {
    g.bomb_num = 0;
    g.power_left = 0;
    g.power_num = 0;
    g.live_left = 1;
    g.live_num = 0;
    g.left = (g.max_l - 2) * (g.max_r - 2) - 1;
    g.score = -1;  // the first pass of the move loop counts it up to 0
    reseed(g, term);
    const Cell start = draw_cell(g);
    g.x = start.row;
    g.y = start.col;
}

// One step of the wrap-around: from the first interior line to the last and back.
void step(std::int32_t& pos, int delta, std::int32_t size) {
    pos += delta;
    if (pos == 0) pos = size - 2;
    if (pos == size - 1) pos = 1;
}

enum class Outcome { lost, won, restart, quit };
enum class Command { moved, restart, quit };

// Reads keys until one moves the player, restarts or quits. X spends a held
// power on the way; that is no move.
Command reread(GameState& g, Terminal& term) {
    for (;;) {
        switch (read_upper(term)) {
            case UP: case UP2: step(g.x, -1, g.max_l); return Command::moved;
            case DOWN: case DOWN2: step(g.x, +1, g.max_l); return Command::moved;
            case LEFT: case LEFT2: step(g.y, -1, g.max_r); return Command::moved;
            case RIGHT: case RIGHT2: step(g.y, +1, g.max_r); return Command::moved;
            case SKILL:
                if (g.power_left > 0) {
                    powers(g, term, 2);
                    print(g, term);
                    g.map[g.x][g.y] = SPC;
                }
                break;
            case 'R': return Command::restart;
            case 'Q': return Command::quit;
            default: break;
        }
    }
}

// Runs moves until the game ends or the player restarts or quits.
Outcome move_loop(GameState& g, Terminal& term) {
    for (;;) {
        const int r = judge(g, term, g.x, g.y);
        if (r == GAME_OVER) return Outcome::lost;
        if (r == WON) return Outcome::won;
        ++g.score;
        g.map[g.x][g.y] = g.glyphs.player;  // nothing lands on the player
        powers(g, term, 1);
        lives(g, term);
        bombs(g, term);
        print(g, term);
        g.map[g.x][g.y] = SPC;  // also takes away what the player collected
        switch (reread(g, term)) {
            case Command::moved: break;
            case Command::restart: return Outcome::restart;
            case Command::quit: return Outcome::quit;
        }
    }
}

void game_over(GameState& g, Terminal& term) {
    set(g, term, 'k');
    g.map[g.x][g.y] = g.glyphs.player_dead;
    print(g, term);
    term.sleep_ms(200);
    term.printf("GAMEOVER!\a\n");
    term.sleep_ms(800);
    if (g.score > g.h_score) {
        set(g, term, g.color);
        term.printf("New high score!\n");
        g.h_score = g.score;
    }
    set(g, term, g.color);
}

void win(GameState& g, Terminal& term) {
    ++g.survival;
    g.map[g.x][g.y] = g.glyphs.player;
    print(g, term);
    term.printf("YOU ARE A WINNER!\a\n");
}

// Retry (true) or Back (false).
bool end_prompt(const GameState& g, Terminal& term) {
    term.printf("\n\t\t%c Retry (R)\n", g.glyphs.p);
    term.printf("\t\t%c Back (B)\n", g.glyphs.p);
    for (;;) {
        const char key = read_upper(term);
        if (key == 'R') return true;
        if (key == 'B') return false;
    }
}

}  // namespace

void play(GameState& g, Terminal& term) {
    for (;;) {
        start_game(g, term);
        const Outcome outcome = move_loop(g, term);
        if (outcome == Outcome::quit) return;
        if (outcome != Outcome::restart) {
            if (outcome == Outcome::lost) {
                game_over(g, term);
            } else {
                win(g, term);
            }
            if (!end_prompt(g, term)) {
                save_score(g);
                return;
            }
        }
        build(g);
    }
}

}  // namespace skarvel
