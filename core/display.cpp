#include "core/display.h"

#include <string_view>

namespace skarvel {

namespace {

// At most 19 columns: the panel starts at column 130 at the widest field,
// and a character in the last console column would push every row down.
constexpr const char* CREDIT = "Dodge, grab, wipe!";

// The side-panel text of row i, if it has one; k = max_l / 8 spaces the lines.
void print_panel(const GameState& g, Terminal& term, int i) {
    const int k = g.max_l / 8;
    if (k == 0 || i % k != 0) return;
    const char p = g.glyphs.p;
    switch (i / k) {
        case 1: term.printf("\t KELDRY'S SKARVLE"); break;
        case 2: term.printf("\t%c Survival: %d", p, g.survival); break;
        case 3: term.printf("\t%c Score: %d", p, g.score); break;
        case 4: term.printf("\t%c High score: %d", p, g.h_score); break;
        case 5: term.printf("\t%c Power: %d", p, g.power_left); break;
        case 6: term.printf("\t%c Lives: %d", p, g.live_left); break;
        case 7: term.printf("\t%c %s", p, CREDIT); break;
        default: break;
    }
}

}  // namespace

void print(const GameState& g, Terminal& term) {
    term.clear_screen();
    term.printf("Length: %d\tWidth: %d\tLevel: %d\n", g.max_r, g.max_l, g.lev);
    for (int i = 0; i < g.max_l; ++i) {
        term.write(std::string_view(g.map[i].data(), static_cast<std::size_t>(g.max_r)));
        print_panel(g, term, i);
        term.putchar('\n');
    }
    term.printf("Bombs(%c): %d\tPowers(%c): %d\tLives(%c): %d\n", g.glyphs.bomb, g.bomb_num,
                g.glyphs.pow, g.power_num, g.glyphs.live, g.live_num);
}

}  // namespace skarvel
