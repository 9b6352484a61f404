#include <algorithm>

#include "core/colours.h"
#include "core/keys.h"
#include "screens/screens.h"
#include "screens/settings.h"
#include "screens/typed_input.h"

namespace skarvel {

namespace {

// The colour screen's list of the schemes 1 to 8.
constexpr const char* SCHEME_LINES[] = {
    "\t Black\t\t White\t\t 1", "\t Black\t\t Green\t\t 2",  "\t White\t\t Black\t\t 3", "\t White\t\t Red\t\t 4",
    "\t White\t\t Blue\t\t 5",  "\t Yellow\t\t Black\t\t 6", "\t Yellow\t\t Red\t\t 7",  "\t Purple\t\t White\t\t 8",
};
static_assert(std::size(SCHEME_LINES) == MAX_SCHEME - MIN_SCHEME + 1);

void save_options(Session& s) { s.records.save_options(options_of(s.game)); }

// Two typed numbers, clamped to the sizes allowed; 'P' or any other text
// keeps a value.
void run_map_size_screen(Session& s) {
    GameState& g = s.game;
    Terminal& term = s.term;
    const char p = g.glyphs().bullet;
    TypedInput typed(term);  // the lines typed on this visit
    begin_menu_screen(term);
    term.printf("\t%cTip: enter 'P' to pass.\n", p);
    term.printf("\n\t%c Current length:\t%d\n", p, g.cols);
    term.printf("\t%c Current width:\t%d\n", p, g.rows);
    term.printf("\n\t%c Recommended length:\t%d\n", p, RECOMMENDED_COLS);
    term.printf("\t%c Recommended width:\t%d\n", p, RECOMMENDED_ROWS);
    term.printf("\n\t%c Please enter a new length(%d ~ %d):\t", p, MIN_COLS, MAX_COLS);
    typed.read_int(g.cols);
    g.cols = std::clamp(g.cols, MIN_COLS, MAX_COLS);
    term.printf("\n\t%c Please enter a new width(%d ~ %d):\t", p, MIN_ROWS, MAX_ROWS);
    typed.discard_line();
    typed.read_int(g.rows);
    g.rows = std::clamp(g.rows, MIN_ROWS, MAX_ROWS);
    term.printf("\n\t%c New length:\t%d\n", p, g.cols);
    term.printf("\t%c New width:\t%d\n", p, g.rows);
    save_options(s);
    term.printf("\n\t\t%c Back (B)\n", p);
    wait_for_letter(term, "B");
}  // the rest of the line typed for the width is left for the next read

// Drawn again after every key: left and down lower the level, right and up
// raise it, by letter or by arrow.
void run_level_screen(Session& s) {
    GameState& g = s.game;
    Terminal& term = s.term;
    for (;;) {
        begin_menu_screen(term);
        term.printf("\t%c Tip: Press direction keys to choose a level.\n", g.glyphs().bullet);
        term.printf("\n\t\tEasy   Normal   Hard   Isane\n");
        term.printf("\tLevel");
        for (int i = 0; i < g.level; ++i) term.printf("   ");  // the marker moves three columns a level
        term.printf("%c %d", g.glyphs().level_marker, g.level);
        term.printf("\n\n\t\t%c Back (B)", g.glyphs().bullet);
        const char letter = read_letter(term);
        if (letter == 'B') {
            save_options(s);
            return;
        }
        const auto direction = direction_of(letter);
        if (direction == Direction::left || direction == Direction::down) g.level = std::max(g.level - 1, MIN_LEVEL);
        if (direction == Direction::right || direction == Direction::up) g.level = std::min(g.level + 1, MAX_LEVEL);
    }
}

// A scheme's number recolours the console at once, without a redraw.
void run_colour_screen(Session& s) {
    Terminal& term = s.term;
    begin_menu_screen(term);
    term.printf("\tBackground\tFront\t\tNumber\n");
    for (const char* line : SCHEME_LINES) term.printf("%s\n", line);
    term.printf("\n\tPress number to change the color.\n");
    term.printf("\n\t\t%c Back (B)\n", s.game.glyphs().bullet);
    for (;;) {
        const char letter = read_letter(term);
        if (letter == 'B') return;
        const int scheme = letter - '0';
        if (scheme >= MIN_SCHEME && scheme <= MAX_SCHEME) {
            choose_colour_scheme(s.game, term, scheme);
            save_options(s);
        }
    }
}

// A mode's number selects its glyphs and draws the screen anew with them;
// the two samples stay as they are.
void run_display_screen(Session& s) {
    Terminal& term = s.term;
    for (;;) {
        begin_menu_screen(term);
        term.printf("\tDisplay\t\tNumber\n");
        term.printf("\t %c\t\t 1\n", PICTURE_GLYPHS[Cell::player]);
        term.printf("\t %c\t\t 2\n", PLAIN_GLYPHS[Cell::player]);
        term.printf("\n\tPress number to change the diaplay.\n");
        term.printf("\n\t\t%c Back (B)\n", s.game.glyphs().bullet);
        const char letter = wait_for_letter(term, "B12");
        if (letter == 'B') return;
        s.game.display_mode = letter == '1' ? DisplayMode::pictures : DisplayMode::plain;
        save_options(s);
    }
}

}  // namespace

void run_options_menu(Session& s) {
    for (;;) {
        const char p = s.game.glyphs().bullet;
        begin_menu_screen(s.term);
        s.term.printf("\tOptions:\n");
        s.term.printf("\n\t%c Map size (M)\n", p);
        s.term.printf("\t%c Level (L)\n", p);
        s.term.printf("\t%c Color (C)\n", p);
        s.term.printf("\t%c Display (D)\n", p);
        s.term.printf("\n\t\t%c Back to main menu (B)\n", p);
        const char letter = read_letter(s.term);
        if (letter == 'B') return;
        // Any other key only draws the menu again.
        const auto option =
            std::find_if(OPTIONS.begin(), OPTIONS.end(), [&](const Option& o) { return o.key == letter; });
        if (option != OPTIONS.end()) run_options_screen(s, option->screen);
    }
}

void run_options_screen(Session& s, OptionsScreen screen) {
    switch (screen) {
        case OptionsScreen::map_size: run_map_size_screen(s); break;
        case OptionsScreen::level: run_level_screen(s); break;
        case OptionsScreen::colour: run_colour_screen(s); break;
        case OptionsScreen::display: run_display_screen(s); break;
    }
}

}  // namespace skarvel
