// The glyphs of the two display modes: the pictures the console draws for
// some control bytes, and plain ASCII.
#pragma once

namespace skarvel {

// Stored in options.txt as '1' and '2'.
enum class DisplayMode : unsigned char { pictures = 1, plain = 2 };

// The bytes the game writes for the player, the field's cells and its menus.
struct GlyphSet {
    char player;
    char player_hit;  // the player while hit, and at game over
    char bomb;
    char power;  // a power item
    char life;   // an extra-life item
    char border_top;
    char border_bottom;
    char border_left;
    char border_right;
    char pointer;       // before menu lines and side-panel lines
    char level_marker;  // under the level on the level screen
};

constexpr char EMPTY = ' ';  // an empty cell, as drawn

// Display mode 1: control bytes that the console shows as code-page-437 pictures.
constexpr GlyphSet PICTURE_GLYPHS{
    .player = 1,          // white smiling face
    .player_hit = 2,      // black smiling face
    .bomb = 15,           // sun
    .power = 21,          // section sign
    .life = 3,            // heart
    .border_top = 30,     // up triangle
    .border_bottom = 31,  // down triangle
    .border_left = 17,    // left pointer
    .border_right = 16,   // right pointer
    .pointer = 26,        // right arrow
    .level_marker = 24,   // up arrow
};

// Display mode 2: plain ASCII.
constexpr GlyphSet PLAIN_GLYPHS{
    .player = '@',
    .player_hit = '!',
    .bomb = '*',
    .power = '%',
    .life = '$',
    .border_top = '#',
    .border_bottom = '#',
    .border_left = '#',
    .border_right = '#',
    .pointer = '>',
    .level_marker = '|',
};

constexpr const GlyphSet& glyphs_of(DisplayMode mode) {
    return mode == DisplayMode::plain ? PLAIN_GLYPHS : PICTURE_GLYPHS;
}

}  // namespace skarvel
