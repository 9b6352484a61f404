#include "screens/settings.h"

#include <algorithm>

namespace skarvel {

namespace {

constexpr char digit_of(int n) { return static_cast<char>('0' + n); }

}  // namespace

void apply_options(const OptionsRecord& stored, GameState& g) {
    g.cols = std::clamp(stored.length, MIN_COLS, MAX_COLS);
    g.rows = std::clamp(stored.width, MIN_ROWS, MAX_ROWS);
    g.level = std::clamp(stored.level, MIN_LEVEL, MAX_LEVEL);
    const bool known_scheme = stored.colour >= digit_of(FIRST_SCHEME) && stored.colour <= digit_of(LAST_SCHEME);
    g.colour_scheme = known_scheme ? stored.colour - '0' : FIRST_SCHEME;
    g.display_mode = stored.display == '2' ? DisplayMode::plain : DisplayMode::pictures;
}

OptionsRecord options_of(const GameState& g) {
    return {.length = g.cols,
            .width = g.rows,
            .colour = digit_of(g.colour_scheme),
            .display = digit_of(static_cast<int>(g.display_mode)),
            .level = g.level};
}

void apply_score(const ScoreRecord& stored, GameState& g) {
    g.best_score = stored.best_score;
    g.games_won = stored.games_won;
}

ScoreRecord score_of(const GameState& g) { return {.best_score = g.best_score, .games_won = g.games_won}; }

}  // namespace skarvel
