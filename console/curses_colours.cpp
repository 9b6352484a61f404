#include "console/curses_colours.h"

#include <algorithm>
#include <cstdlib>

namespace skarvel {

namespace {

// A console colour (bit 1 blue, 4 red) as a curses colour (1 red, 4 blue).
short curses_colour(ConsoleColour colour) {
    const int c = static_cast<int>(colour);
    return static_cast<short>((c & 0b1010) | (c & 1) << 2 | (c & 4) >> 2);
}

}  // namespace

std::optional<CursesColours> curses_colours(Colours colours, int count) {
    if (count < 8) return std::nullopt;
    const short foreground = curses_colour(colours.foreground);
    const short background = curses_colour(colours.background);
    if (count >= 16) return CursesColours{foreground, background, false};
    // Eight colours: no bright background, a bright foreground in bold.
    return CursesColours{static_cast<short>(foreground & 7), static_cast<short>(background & 7), (foreground & 8) != 0};
}

CursesPalette::CursesPalette() {
    const char* no_color = std::getenv("NO_COLOR");
    if (no_color != nullptr && *no_color != '\0') return;
    if (has_colors() && start_color() == OK && COLOR_PAIRS >= 2) {
        use_default_colors();
        count_ = COLORS;
        last_pair_ = static_cast<short>(std::min(COLOR_PAIRS - 1, 255));
    }
}

CellColours CursesPalette::cell_colours(Colours colours, bool flash) {
    const auto shown = curses_colours(colours, count_);
    if (!shown) return {0, flash ? A_REVERSE : A_NORMAL};
    const auto index = static_cast<std::size_t>(colours.background) * 16 + static_cast<std::size_t>(colours.foreground);
    short& pair = pair_of_[index];
    if (pair == 0) pair = next_pair_ < last_pair_ ? next_pair_++ : last_pair_;
    init_pair(pair, shown->foreground, shown->background);
    return {pair, shown->bold ? A_BOLD : A_NORMAL};
}

}  // namespace skarvel
