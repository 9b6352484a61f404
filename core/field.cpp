#include "core/game_state.h"

namespace skarvel {

void select_display_mode(GameState& g, DisplayMode mode) {
    g.display_mode = mode;
    g.glyphs = glyphs_of(mode);
}

void build_field(GameState& g) {
    const int last_row = g.rows - 1;
    const int last_col = g.cols - 1;
    for (int row = 0; row <= last_row; ++row) {
        for (int col = 0; col <= last_col; ++col) {
            char& cell = g.field[row][col];
            const bool corner = (row == 0 || row == last_row) && (col == 0 || col == last_col);
            if (corner) {
                cell = EMPTY;
            } else if (row == 0) {
                cell = g.glyphs.border_top;
            } else if (row == last_row) {
                cell = g.glyphs.border_bottom;
            } else if (col == 0) {
                cell = g.glyphs.border_left;
            } else if (col == last_col) {
                cell = g.glyphs.border_right;
            } else {
                cell = EMPTY;
            }
        }
    }
    g.bombs_placed = 0;
    g.powers_on_field = 0;
    g.lives_on_field = 0;
}

}  // namespace skarvel
