#include "core/game_state.h"

namespace skarvel {

void rev(GameState& g, char mode) {
    if (mode == '1') {
        g.glyphs = GLYPHS_1;
    } else if (mode == '2') {
        g.glyphs = GLYPHS_2;
    } else {
        return;
    }
    g.rev_mode = mode;
}

void build(GameState& g) {
    const int last_row = g.max_l - 1;
    const int last_col = g.max_r - 1;
    for (int i = 0; i <= last_row; ++i) {
        for (int j = 0; j <= last_col; ++j) {
            char& cell = g.map[i][j];
            const bool corner = (i == 0 || i == last_row) && (j == 0 || j == last_col);
            if (corner) {
                cell = SPC;
            } else if (i == 0) {
                cell = g.glyphs.side_u;
            } else if (i == last_row) {
                cell = g.glyphs.side_d;
            } else if (j == 0) {
                cell = g.glyphs.side_l;
            } else if (j == last_col) {
                cell = g.glyphs.side_r;
            } else {
                cell = SPC;
            }
        }
    }
    g.bomb_num = 0;
    g.power_num = 0;
    g.live_num = 0;
}

}  // namespace skarvel
