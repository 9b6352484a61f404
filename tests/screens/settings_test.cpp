#include "screens/settings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace skarvel {
namespace {

// options.txt's fields as the game keeps them.
OptionsRecord stored(std::int32_t length, std::int32_t width, char colour, char display, std::int32_t level) {
    using enum FieldFormat;
    return {{number, length}, {number, width}, {character, colour}, {character, display}, {number, level}};
}

// A hand-edited options.txt may hold anything; the game keeps what the
// options screens could have chosen.
TEST(Settings, StoredOptionsAreBroughtIntoRange) {
    const struct {
        std::int32_t length, width;
        char colour, display;
        std::int32_t level;
        int applied_length, applied_width;
        char applied_colour, applied_display;
        int applied_level;
    } cases[] = {
        {40, 20, '1', '1', 1, 40, 20, '1', '1', 1},
        {120, 30, '8', '2', 10, 120, 30, '8', '2', 10},
        {3, 8, '4', '2', 7, 3, 8, '4', '2', 7},
        {2, 7, '0', '3', 0, 3, 8, '1', '1', 1},
        {121, 31, '9', '0', 11, 120, 30, '1', '1', 10},
        {-4, -4, 'h', 'p', -4, 3, 8, '1', '1', 1},
        {INT32_MAX, INT32_MAX, '5', '1', INT32_MAX, 120, 30, '5', '1', 10},
        {INT32_MIN, INT32_MIN, '5', '1', INT32_MIN, 3, 8, '5', '1', 1},
    };
    for (const auto& c : cases) {
        GameState g;
        apply_options(stored(c.length, c.width, c.colour, c.display, c.level), g);
        EXPECT_EQ(options_of(g),
                  stored(c.applied_length, c.applied_width, c.applied_colour, c.applied_display, c.applied_level))
            << c.length << " " << c.colour << c.display;
        EXPECT_EQ(g.glyphs()[Cell::player], c.applied_display == '2' ? '@' : '\x01');
    }
}

}  // namespace
}  // namespace skarvel
