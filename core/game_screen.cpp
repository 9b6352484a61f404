#include "core/game_screen.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace skarvel {

namespace {

// The last panel line's text. At the widest field it starts at column 130,
// and a character in the console's last column would push every row down.
constexpr std::string_view CREDIT = "Dodge, grab, wipe!";
static_assert(panel_text_col(MAX_COLS) + static_cast<int>(CREDIT.size()) < CONSOLE_COLS);

// The side-panel text of a row, if it has one: seven lines spaced by an
// eighth of the field's rows.
void draw_panel_line(const GameState& g, Terminal& term, int row) {
    const int spacing = g.rows / 8;
    if (spacing == 0 || row % spacing != 0) return;
    const char p = g.glyphs().bullet;
    switch (row / spacing) {
        case 1: term.printf("\t KELDRY'S SKARVLE"); break;
        case 2: term.printf("\t%c Survival: %d", p, g.games_won); break;
        case 3: term.printf("\t%c Score: %d", p, g.score); break;
        case 4: term.printf("\t%c High score: %d", p, g.best_score); break;
        case 5: term.printf("\t%c Power: %d", p, g.powers_held); break;
        case 6: term.printf("\t%c Lives: %d", p, g.lives_held); break;
        case 7: term.printf("\t%c %.*s", p, static_cast<int>(CREDIT.size()), CREDIT.data()); break;
        default: break;
    }
}

// The counters of the side panel and of the bottom line in one line, for a
// terminal that shows only a part of the screen. Where the whole line does
// not fit, shorter ones put the player's own state first: lives, powers held
// and score, then the best score and the field's counts.
void set_counters_status(const GameState& g, Terminal& term) {
    const GlyphSet& glyphs = g.glyphs();
    char lines[Terminal::MAX_STATUS_FORMS][128];
    std::array<std::string_view, Terminal::MAX_STATUS_FORMS> forms;
    const auto keep = [&](std::size_t form, int n) {
        forms[form] =
            std::string_view(lines[form], static_cast<std::size_t>(std::clamp(n, 0, int{sizeof lines[0]} - 1)));
    };
    keep(0, std::snprintf(lines[0], sizeof lines[0],
                          "Score: %d  High score: %d  Power: %d  Lives: %d  |  %c %d  %c %d  %c %d", g.score,
                          g.best_score, g.powers_held, g.lives_held, glyphs[Cell::bomb], g.bombs_placed,
                          glyphs[Cell::power], g.powers_on_field, glyphs[Cell::extra_life], g.lives_on_field));
    keep(1,
         std::snprintf(lines[1], sizeof lines[1], "Lives: %d  Power: %d  Score: %d  High: %d  |  %c %d  %c %d  %c %d",
                       g.lives_held, g.powers_held, g.score, g.best_score, glyphs[Cell::bomb], g.bombs_placed,
                       glyphs[Cell::power], g.powers_on_field, glyphs[Cell::extra_life], g.lives_on_field));
    keep(2, std::snprintf(lines[2], sizeof lines[2], "Lives %d  Power %d  Score %d  High %d", g.lives_held,
                          g.powers_held, g.score, g.best_score));
    keep(3, std::snprintf(lines[3], sizeof lines[3], "L%d P%d S%d H%d", g.lives_held, g.powers_held, g.score,
                          g.best_score));
    term.set_status(forms);
}

}  // namespace

void draw_game_screen(const GameState& g, Terminal& term, Cell player) {
    const GlyphSet& glyphs = g.glyphs();
    term.clear_screen();
    term.printf("Length: %d\tWidth: %d\tLevel: %d\n", g.cols, g.rows, g.level);
    for (int row = 0; row < g.rows; ++row) {
        std::array<char, GRID_COLS> line;  // NOLINT(cppcoreguidelines-pro-type-member-init): the first cols are set
        for (int col = 0; col < g.cols; ++col) line[col] = glyphs[g.field[row][col]];
        const std::string_view cells(line.data(), static_cast<std::size_t>(g.cols));
        if (row == g.row) {
            // The cursor rests on the player while the game waits for a key.
            const auto col = static_cast<std::size_t>(g.col);
            term.write(cells.substr(0, col));
            term.mark_cursor();
            term.putchar(glyphs[player]);
            term.write(cells.substr(col + 1));
        } else {
            term.write(cells);
        }
        draw_panel_line(g, term, row);
        term.putchar('\n');
    }
    term.printf("Bombs(%c): %d\tPowers(%c): %d\tLives(%c): %d\n", glyphs[Cell::bomb], g.bombs_placed,
                glyphs[Cell::power], g.powers_on_field, glyphs[Cell::extra_life], g.lives_on_field);
    set_counters_status(g, term);
}

}  // namespace skarvel
