#include "core/game_state.h"

namespace skarvel {

namespace {

// A cell of a freshly built field: a border on the frame, but for its four
// corners, which stay empty like the interior.
Cell built_cell(const GameState& g, Position at) {
    const bool top = at.row == 0;
    const bool bottom = at.row == g.rows - 1;
    const bool left = at.col == 0;
    const bool right = at.col == g.cols - 1;
    if ((top || bottom) == (left || right)) return Cell::empty;  // a corner, or the interior
    if (top) return Cell::border_top;
    if (bottom) return Cell::border_bottom;
    return left ? Cell::border_left : Cell::border_right;
}

}  // namespace

void build_field(GameState& g) {
    for (int row = 0; row < g.rows; ++row) {
        for (int col = 0; col < g.cols; ++col) g.field[row][col] = built_cell(g, {row, col});
    }
    g.bombs_placed = 0;
    g.powers_on_field = 0;
    g.lives_on_field = 0;
}

}  // namespace skarvel
