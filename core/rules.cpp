#include "core/rules.h"

namespace skarvel {

Outcome resolve_entered_cell(GameState& g) {
    char& cell = g.field[g.row][g.col];
    if (cell == g.glyphs.bomb) {
        if (--g.lives_held <= 0) {
            g.lives_held = 0;
            return Outcome::game_over;
        }
        cell = EMPTY;
        return Outcome::hit;
    }
    if (cell == g.glyphs.power) {
        ++g.powers_held;
        --g.powers_on_field;
        cell = EMPTY;
        return Outcome::collected;
    }
    if (cell == g.glyphs.life) {
        ++g.lives_held;
        --g.lives_on_field;
        cell = EMPTY;
        return Outcome::collected;
    }
    return g.budget == 1 ? Outcome::won : Outcome::goes_on;
}

void move_player(GameState& g, Direction direction) {
    switch (direction) {
        case Direction::up: g.row = g.row == 1 ? g.rows - 2 : g.row - 1; break;
        case Direction::down: g.row = g.row == g.rows - 2 ? 1 : g.row + 1; break;
        case Direction::left: g.col = g.col == 1 ? g.cols - 2 : g.col - 1; break;
        case Direction::right: g.col = g.col == g.cols - 2 ? 1 : g.col + 1; break;
    }
}

}  // namespace skarvel
