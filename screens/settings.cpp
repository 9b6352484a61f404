#include "screens/settings.h"

#include <algorithm>
#include <cstddef>

namespace skarvel {

// In the order of options.txt: "%d %d %c %c %d". The game's own words call
// the field's columns its "length" and its rows its "width".
const std::array<Option, 5> OPTIONS = {{
    {'M', OptionsScreen::map_size, "length", FieldFormat::number, MIN_COLS, MAX_COLS, DEFAULT_COLS,
     [](const GameState& g) { return int{g.cols}; }, [](GameState& g, int v) { g.cols = v; }},
    {'M', OptionsScreen::map_size, "width", FieldFormat::number, MIN_ROWS, MAX_ROWS, DEFAULT_ROWS,
     [](const GameState& g) { return int{g.rows}; }, [](GameState& g, int v) { g.rows = v; }},
    {'C', OptionsScreen::colour, "colour", FieldFormat::character, MIN_SCHEME, MAX_SCHEME, DEFAULT_SCHEME,
     [](const GameState& g) { return g.colour_scheme; }, [](GameState& g, int v) { g.colour_scheme = v; }},
    {'D', OptionsScreen::display, "display", FieldFormat::character, static_cast<int>(DisplayMode::pictures),
     static_cast<int>(DisplayMode::plain), static_cast<int>(DisplayMode::pictures),
     [](const GameState& g) { return static_cast<int>(g.display_mode); },
     [](GameState& g, int v) { g.display_mode = static_cast<DisplayMode>(v); }},
    {'L', OptionsScreen::level, "level", FieldFormat::number, MIN_LEVEL, MAX_LEVEL, DEFAULT_LEVEL,
     [](const GameState& g) { return int{g.level}; }, [](GameState& g, int v) { g.level = v; }},
}};

void apply_options(const OptionsRecord& stored, GameState& g) {
    for (std::size_t i = 0; i < OPTIONS.size() && i < stored.size(); ++i) {
        const Option& option = OPTIONS[i];
        const std::int32_t value = stored[i].value;
        if (option.format == FieldFormat::number) {
            option.set(g, std::clamp(value, option.min, option.max));
        } else {
            const int digit = value - '0';
            option.set(g, digit >= option.min && digit <= option.max ? digit : option.fallback);
        }
    }
}

OptionsRecord options_of(const GameState& g) {
    OptionsRecord record;
    for (const Option& option : OPTIONS) {
        const int value = option.get(g);
        record.push_back({option.format, option.format == FieldFormat::number ? value : '0' + value});
    }
    return record;
}

void apply_score(const ScoreRecord& stored, GameState& g) {
    g.best_score = stored.best_score;
    g.games_won = stored.games_won;
}

ScoreRecord score_of(const GameState& g) { return {.best_score = g.best_score, .games_won = g.games_won}; }

}  // namespace skarvel
