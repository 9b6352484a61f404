#include "core/rules.h"

namespace skarvel {

Outcome resolve_entered_cell(GameState& g) {
    Cell& cell = g.field[g.row][g.col];
    switch (cell) {
        case Cell::bomb:
            if (--g.lives_held <= 0) {
                g.lives_held = 0;
                return Outcome::game_over;
            }
            cell = Cell::empty;
            return Outcome::hit;
        case Cell::power:
            ++g.powers_held;
            --g.powers_on_field;
            cell = Cell::empty;
            return Outcome::collected;
        case Cell::extra_life:
            ++g.lives_held;
            --g.lives_on_field;
            cell = Cell::empty;
            return Outcome::collected;
        default: return g.placements_to_win == 0 ? Outcome::won : Outcome::plain_move;
    }
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
