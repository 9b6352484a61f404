#include "core/colours.h"

#include <algorithm>

namespace skarvel {

namespace {

using enum ConsoleColour;

// Schemes 1 to 8, as the colour screen lists them.
constexpr Colours SCHEMES[] = {
    {.background = black, .foreground = white},      {.background = black, .foreground = green},
    {.background = white, .foreground = black},      {.background = white, .foreground = light_red},
    {.background = white, .foreground = light_blue}, {.background = yellow, .foreground = black},
    {.background = yellow, .foreground = red},       {.background = purple, .foreground = white},
};
static_assert(std::size(SCHEMES) == MAX_SCHEME - MIN_SCHEME + 1);

// By Flash: a hit, the game over, a spent power.
constexpr Colours FLASHES[] = {{.background = red, .foreground = grey},
                               {.background = red, .foreground = light_red},
                               {.background = black, .foreground = red}};

Colours scheme_colours(int scheme) { return SCHEMES[std::clamp(scheme, MIN_SCHEME, MAX_SCHEME) - MIN_SCHEME]; }

}  // namespace

void set_up_console(const GameState& g, Terminal& term) {
    restore_colours(g, term);
    term.size_window();
}

void choose_colour_scheme(GameState& g, Terminal& term, int scheme) {
    term.set_colours(scheme_colours(scheme));
    g.colour_scheme = scheme;
}

void restore_colours(const GameState& g, Terminal& term) { term.set_colours(scheme_colours(g.colour_scheme)); }

void flash(Terminal& term, Flash kind) { term.flash_colours(FLASHES[static_cast<std::size_t>(kind)]); }

}  // namespace skarvel
