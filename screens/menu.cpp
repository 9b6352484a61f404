#include "console/services.h"
#include "screens/screens.h"

namespace skarvel {

void welcome(Terminal& term) {
    term.clear_screen();
    floating(term, SEN2, 20);
}

int start(GameState& g, Terminal& term) {
    for (;;) {
        term.clear_screen();
        term.printf("%s\n", TITLE);
        term.printf("\tMain menu:\n");
        const char p = g.glyphs.p;
        term.printf("\n\t%c Play (P)\n", p);
        term.printf("\t%c Help (H)\n", p);
        term.printf("\t%c Achievement (A)\n", p);
        term.printf("\t%c Options (O)\n", p);
        term.printf("\n\t\t%c Quit (Q)\n", p);
        bool redraw = false;
        while (!redraw) {
            switch (read_upper(term)) {
                case 'P': return 1;
                case 'Q': return -1;
                case 'H': help(g, term); redraw = true; break;
                case 'A': ach(g, term); redraw = true; break;
                case 'O': options(g, term); redraw = true; break;
                default: break;
            }
        }
    }
}

void ach(const GameState& g, Terminal& term) {
    term.clear_screen();
    term.printf("%s\n", TITLE);
    term.printf("\tAchievements:\n");
    term.printf("\n\t%c High score: %d\n", g.glyphs.p, g.h_score);
    term.printf("\t%c Survival: %d\n", g.glyphs.p, g.survival);
    term.printf("\n\t\t%c Back to main menu(B)\n", g.glyphs.p);
    while (read_upper(term) != 'B') {
    }
}

void end(Terminal& term) {
    term.clear_screen();
    term.putchar('\t');
    floating(term, SEN1, 30);
    term.clear_screen();
}

}  // namespace skarvel
