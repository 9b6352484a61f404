#include "core/keys.h"
#include "screens/screens.h"

namespace skarvel {

namespace {

void draw_main_menu(const GameState& g, Terminal& term) {
    const char p = g.glyphs().bullet;
    begin_menu_screen(term);
    term.printf("\tMain menu:\n");
    term.printf("\n\t%c Play (P)\n", p);
    term.printf("\t%c Help (H)\n", p);
    term.printf("\t%c Achievement (A)\n", p);
    term.printf("\t%c Options (O)\n", p);
    term.printf("\n\t\t%c Quit (Q)\n", p);
}

}  // namespace

void begin_menu_screen(Terminal& term) {
    term.clear_screen();
    term.printf("\t\t KELDRY'S SKARVEL \n");
    term.putchar('\n');  // the title is printed as a line: an empty line under it
}

MenuChoice run_main_menu(Session& s) {
    for (;;) {
        draw_main_menu(s.game, s.term);
        // A key the menu does not know is ignored without a redraw.
        for (bool redraw = false; !redraw;) {
            switch (read_letter(s.term)) {
                case 'P': return MenuChoice::play;
                case 'Q': return MenuChoice::quit;
                case 'H':
                    run_help_screen(s);
                    redraw = true;
                    break;
                case 'A':
                    run_achievements_screen(s.game, s.term);
                    redraw = true;
                    break;
                case 'O':
                    run_options_menu(s);
                    redraw = true;
                    break;
                default: break;
            }
        }
    }
}

void run_achievements_screen(const GameState& g, Terminal& term) {
    const char p = g.glyphs().bullet;
    begin_menu_screen(term);
    term.printf("\tAchievements:\n");
    term.printf("\n\t%c High score: %d\n", p, g.best_score);
    term.printf("\t%c Survival: %d\n", p, g.games_won);
    term.printf("\n\t\t%c Back to main menu(B)\n", p);
    wait_for_letter(term, "B");
}

}  // namespace skarvel
