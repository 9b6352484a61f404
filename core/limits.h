// Every limit of the game in one place, tied to the 150x40 console.
#pragma once

#include "console/terminal.h"

namespace skarvel {

// The grid holds a field of up to this many rows and columns.
constexpr int GRID_ROWS = 35;
constexpr int GRID_COLS = 125;

// Field sizes the options allow, borders included. The game's own words call
// the columns the field's "length" and the rows its "width".
constexpr int MIN_COLS = 3;
constexpr int MAX_COLS = 120;
constexpr int MIN_ROWS = 8;
constexpr int MAX_ROWS = 30;
constexpr int DEFAULT_COLS = 40;
constexpr int DEFAULT_ROWS = 20;
constexpr int RECOMMENDED_COLS = 50;
constexpr int RECOMMENDED_ROWS = 20;

constexpr int MIN_LEVEL = 1;
constexpr int MAX_LEVEL = 10;
constexpr int DEFAULT_LEVEL = 1;

// The colour schemes the player chooses from, by number.
constexpr int MIN_SCHEME = 1;
constexpr int MAX_SCHEME = 8;
constexpr int DEFAULT_SCHEME = 1;

// The side panel starts at the first tab stop after the field, with a
// bullet and a blank before its text.
constexpr int panel_text_col(int cols) { return (cols / TAB_WIDTH + 1) * TAB_WIDTH + 2; }

// Lines of the game screen besides the field: the header and the counters
// line, then at most "GAMEOVER!", "New high score!", an empty line and the
// Retry and Back lines; the cursor rests on the line after them.
constexpr int GAME_SCREEN_EXTRA_LINES = 2 + 5 + 1;

static_assert(MIN_COLS >= 3 && MIN_ROWS >= 3, "a field keeps at least one interior cell");
static_assert(MAX_COLS <= GRID_COLS && MAX_ROWS <= GRID_ROWS, "the grid holds every field the options allow");
static_assert(MIN_ROWS / 8 >= 1 && 7 * (MAX_ROWS / 8) < MAX_ROWS, "the seven panel lines lie on the field's rows");
static_assert(MAX_ROWS + GAME_SCREEN_EXTRA_LINES <= CONSOLE_ROWS, "the tallest game fits the console");
static_assert(panel_text_col(MAX_COLS) < CONSOLE_COLS, "the widest field leaves room for the side panel");
static_assert(MIN_LEVEL >= 1, "the drop odds divide by multiples of the level");

}  // namespace skarvel
