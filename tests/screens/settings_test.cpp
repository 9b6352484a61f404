#include "screens/settings.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace skarvel {
namespace {

// options.txt's fields as the game keeps them.
OptionsRecord stored(std::int32_t length, std::int32_t width, char colour, char display, std::int32_t level) {
    using enum FieldFormat;
    return {{number, length}, {number, width}, {character, colour}, {character, display}, {number, level}};
}

// A hand-edited options.txt may hold anything; the game keeps what the options screens could have chosen.
TEST(Settings, StoredOptionsAreBroughtIntoRange) {
    const struct {
        OptionsRecord read, applied;
    } cases[] = {
        {stored(40, 20, '1', '1', 1), stored(40, 20, '1', '1', 1)},
        {stored(120, 30, '8', '2', 10), stored(120, 30, '8', '2', 10)},
        {stored(3, 8, '4', '2', 7), stored(3, 8, '4', '2', 7)},
        {stored(2, 7, '0', '3', 0), stored(3, 8, '1', '1', 1)},
        {stored(121, 31, '9', '0', 11), stored(120, 30, '1', '1', 10)},
        {stored(-4, -4, 'h', 'p', -4), stored(3, 8, '1', '1', 1)},
        {stored(INT32_MAX, INT32_MAX, '5', '1', INT32_MAX), stored(120, 30, '5', '1', 10)},
        {stored(INT32_MIN, INT32_MIN, '5', '1', INT32_MIN), stored(3, 8, '5', '1', 1)},
    };
    for (const auto& c : cases) {
        GameState g;
        apply_options(c.read, g);
        EXPECT_EQ(options_of(g), c.applied) << c.read[0].value << " " << c.read[2].value;
        EXPECT_EQ(g.glyphs()[Cell::player], c.applied[3].value == '2' ? '@' : '\x01');
    }
}

}  // namespace
}  // namespace skarvel
