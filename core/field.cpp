#include "core/game_state.h"

namespace skarvel {

void select_display_mode(GameState& g, DisplayMode mode) {
    g.display_mode = mode;
    g.glyphs = glyphs_of(mode);
}

namespace {

// A cell of a freshly built field: a border glyph on the frame, but for its
// four corners, which stay empty like the interior.
char built_cell(const GameState& g, Cell cell) {
    const bool top = cell.row == 0;
    const bool bottom = cell.row == g.rows - 1;
    const bool left = cell.col == 0;
    const bool right = cell.col == g.cols - 1;
    if ((top || bottom) == (left || right)) return EMPTY;  // a corner, or the interior
    if (top) return g.glyphs.border_top;
    if (bottom) return g.glyphs.border_bottom;
    return left ? g.glyphs.border_left : g.glyphs.border_right;
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
