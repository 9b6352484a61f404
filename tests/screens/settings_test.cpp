#include "screens/settings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace skarvel {
namespace {

// A hand-edited options.txt may hold anything; the game keeps what the
// options screens could have chosen.
TEST(Settings, StoredOptionsAreBroughtIntoRange) {
    const struct {
        OptionsRecord stored;
        OptionsRecord applied;
    } cases[] = {
        {{40, 20, '1', '1', 1}, {40, 20, '1', '1', 1}},
        {{120, 30, '8', '2', 10}, {120, 30, '8', '2', 10}},
        {{3, 8, '4', '2', 7}, {3, 8, '4', '2', 7}},
        {{2, 7, '0', '3', 0}, {3, 8, '1', '1', 1}},
        {{121, 31, '9', '0', 11}, {120, 30, '1', '1', 10}},
        {{-4, -4, 'h', 'p', -4}, {3, 8, '1', '1', 1}},
        {{INT32_MAX, INT32_MAX, '5', '1', INT32_MAX}, {120, 30, '5', '1', 10}},
        {{INT32_MIN, INT32_MIN, '5', '1', INT32_MIN}, {3, 8, '5', '1', 1}},
    };
    for (const auto& c : cases) {
        GameState g;
        apply_options(c.stored, g);
        EXPECT_EQ(options_of(g), c.applied) << c.stored.length << " " << c.stored.colour << c.stored.display;
        EXPECT_EQ(g.glyphs()[Cell::player], c.applied.display == '2' ? '@' : '\x01');
    }
}

}  // namespace
}  // namespace skarvel
