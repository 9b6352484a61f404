// What the rules' tests share: a field, and clock seconds that put the spawners' first pick where needed.
#pragma once

#include <cstdint>
#include <functional>
#include <random>

#include "console/terminal.h"
#include "core/game_state.h"

namespace skarvel::testing {

constexpr std::int64_t NOW = 1'700'000'000;

// A clock that stands still at one second.
struct FixedClock : Clock {
    explicit FixedClock(std::int64_t at = NOW) : now(at) {}
    std::int64_t now;
    std::int64_t seconds() override { return now; }
};

// The first second from NOW on whose first draw satisfies `want`.
inline std::int64_t second_where(const std::function<bool(unsigned long)>& want) {
    for (std::int64_t s = NOW;; ++s) {
        std::minstd_rand e(static_cast<std::minstd_rand::result_type>(s));
        if (want(e())) return s;
    }
}

// An empty 40x20 field in display mode 2 with the player at (2, 3).
inline GameState field(int level = 1) {
    GameState g;
    g.display_mode = DisplayMode::plain;
    build_field(g);
    g.level = level, g.placements_to_win = 500, g.row = 2, g.col = 3, g.lives_held = 1, g.colour_scheme = 5;
    return g;
}

// How many interior cells hold `cell`.
inline int count(const GameState& g, Cell cell) {
    int n = 0;
    for (int i = 1; i < g.rows - 1; ++i)
        for (int j = 1; j < g.cols - 1; ++j) n += g.field[i][j] == cell;
    return n;
}

}  // namespace skarvel::testing
