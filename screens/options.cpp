#include <algorithm>

#include "console/services.h"
#include "records/records.h"
#include "screens/screens.h"

namespace skarvel {

namespace {

constexpr int MIN_LENGTH = 3;
constexpr int MAX_LENGTH = 120;
constexpr int MIN_WIDTH = 8;
constexpr int MAX_WIDTH = 30;
constexpr int RECOMMENDED_LENGTH = 50;
constexpr int RECOMMENDED_WIDTH = 20;
constexpr int MAX_LEVEL = 10;

constexpr const char* SCHEME_LINES[] = {
    "\t Black\t\t White\t\t 1",  "\t Black\t\t Green\t\t 2", "\t White\t\t Black\t\t 3",
    "\t White\t\t Red\t\t 4",    "\t White\t\t Blue\t\t 5",  "\t Yellow\t\t Black\t\t 6",
    "\t Yellow\t\t Red\t\t 7",   "\t Purple\t\t White\t\t 8",
};

// Every options screen begins alike.
void begin_screen(Terminal& term) {
    term.clear_screen();
    term.printf("%s\n", TITLE);
}

void wait_for_back(Terminal& term) {
    while (read_upper(term) != 'B') {
    }
}

void map_size_screen(GameState& g, Terminal& term) {
    const char p = g.glyphs.p;
    begin_screen(term);
    term.printf("\t%cTip: enter 'P' to pass.\n", p);
    term.printf("\n\t%c Current length:\t%d\n", p, g.max_r);
    term.printf("\t%c Current width:\t%d\n", p, g.max_l);
    term.printf("\n\t%c Recommended length:\t%d\n", p, RECOMMENDED_LENGTH);
    term.printf("\t%c Recommended width:\t%d\n", p, RECOMMENDED_WIDTH);
    term.printf("\n\t%c Please enter a new length(3 ~ 120):\t", p);
    read_int(term, g.max_r);
    g.max_r = std::clamp(g.max_r, MIN_LENGTH, MAX_LENGTH);
    term.printf("\n\t%c Please enter a new width(8 ~ 30):\t", p);
    clear(term);
    read_int(term, g.max_l);
    g.max_l = std::clamp(g.max_l, MIN_WIDTH, MAX_WIDTH);
    term.printf("\n\t%c New length:\t%d\n", p, g.max_r);
    term.printf("\t%c New width:\t%d\n", p, g.max_l);
    save_options(g);
    term.printf("\n\t\t%c Back (B)\n", p);
    wait_for_back(term);
    clear(term);
}

void level_screen(GameState& g, Terminal& term) {
    for (;;) {
        begin_screen(term);
        term.printf("\t%c Tip: Press direction keys to choose a level.\n", g.glyphs.p);
        term.printf("\n\t\tEasy   Normal   Hard   Isane\n");
        term.printf("\tLevel");
        for (int i = 0; i < g.lev; ++i) term.printf("   ");
        term.printf("%c %d", g.glyphs.p_3, g.lev);
        term.printf("\n\n\t\t%c Back (B)", g.glyphs.p);
        switch (read_upper(term)) {
            case 'A': case 'K': case 'S': case 'P': g.lev = std::max(g.lev - 1, 1); break;
            case 'D': case 'M': case 'W': case 'H': g.lev = std::min(g.lev + 1, MAX_LEVEL); break;
            case 'B': save_options(g); return;
            default: break;
        }
    }
}

void colour_screen(GameState& g, Terminal& term) {
    begin_screen(term);
    term.printf("\tBackground\tFront\t\tNumber\n");
    for (const char* line : SCHEME_LINES) term.printf("%s\n", line);
    term.printf("\n\tPress number to change the color.\n");
    term.printf("\n\t\t%c Back (B)\n", g.glyphs.p);
    for (;;) {
        const char key = read_upper(term);
        if (key == 'B') return;
        if (key >= '1' && key <= '8') {
            set(g, term, key);
            save_options(g);
        }
    }
}

void display_screen(GameState& g, Terminal& term) {
    for (;;) {
        begin_screen(term);
        term.printf("\tDisplay\t\tNumber\n");
        term.printf("\t %c\t\t 1\n", PLAYER);
        term.printf("\t %c\t\t 2\n", PLAYER2);
        term.printf("\n\tPress number to change the diaplay.\n");
        term.printf("\n\t\t%c Back (B)\n", g.glyphs.p);
        char key = read_upper(term);
        while (key != 'B' && key != '1' && key != '2') key = read_upper(term);
        if (key == 'B') return;
        rev(g, key);
        save_options(g);
    }
}

}  // namespace

void options(GameState& g, Terminal& term) {
    for (;;) {
        const char p = g.glyphs.p;
        term.clear_screen();
        term.printf("%s\n", TITLE);
        term.printf("\tOptions:\n");
        term.printf("\n\t%c Map size (M)\n", p);
        term.printf("\t%c Level (L)\n", p);
        term.printf("\t%c Color (C)\n", p);
        term.printf("\t%c Display (D)\n", p);
        term.printf("\n\t\t%c Back to main menu (B)\n", p);
        const char key = read_upper(term);
        if (key == 'B') return;
        options_set(g, term, key);  // any other key only redraws the menu
    }
}

void options_set(GameState& g, Terminal& term, char mode) {
    switch (upper(mode)) {
        case 'M': map_size_screen(g, term); break;
        case 'L': level_screen(g, term); break;
        case 'C': colour_screen(g, term); break;
        case 'D': display_screen(g, term); break;
        default: break;
    }
}

}  // namespace skarvel
