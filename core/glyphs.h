// The kinds of cell the game draws, and the glyph of each kind in the two
// display modes: the pictures the console draws for some control bytes,
// and plain ASCII.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include "console/terminal.h"

namespace skarvel {

// What the game screen draws in a cell. The field holds the kinds up to
// extra_life; the player is never in the field, but drawn over its cell.
enum class Cell : unsigned char {
    empty,
    border_top,
    border_bottom,
    border_left,
    border_right,
    bomb,
    power,       // an item: a power the player can pick up and spend
    extra_life,  // an item: one more life for the player
    player,
    player_hit,  // the player while hit, and at game over
};
constexpr std::size_t CELL_KINDS = static_cast<std::size_t>(Cell::player_hit) + 1;

// Stored in options.txt as '1' and '2'.
enum class DisplayMode : unsigned char { pictures = 1, plain = 2 };

// The bytes the game writes for each kind of cell and for its menus.
struct GlyphSet {
    std::array<char, CELL_KINDS> cells{};  // by Cell
    char bullet = 0;                       // before menu lines and side-panel lines
    char level_marker = 0;                 // under the level on the level screen

    constexpr char operator[](Cell kind) const { return cells[static_cast<std::size_t>(kind)]; }
};

constexpr GlyphSet glyph_set(std::initializer_list<std::pair<Cell, char>> cells, char bullet, char level_marker) {
    GlyphSet set{.bullet = bullet, .level_marker = level_marker};
    for (const auto& [kind, glyph] : cells) set.cells[static_cast<std::size_t>(kind)] = glyph;
    return set;
}

// Display mode 1: control bytes that the console shows as code-page-437 pictures.
constexpr GlyphSet PICTURE_GLYPHS = glyph_set(
    {
        {Cell::empty, ' '},
        {Cell::border_top, 30},     // up triangle
        {Cell::border_bottom, 31},  // down triangle
        {Cell::border_left, 17},    // left-pointing triangle
        {Cell::border_right, 16},   // right-pointing triangle
        {Cell::bomb, 15},           // sun
        {Cell::power, 21},          // section sign
        {Cell::extra_life, 3},      // heart
        {Cell::player, 1},          // white smiling face
        {Cell::player_hit, 2},      // black smiling face
    },
    26,   // right arrow
    24);  // up arrow

// Display mode 2: plain ASCII.
constexpr GlyphSet PLAIN_GLYPHS = glyph_set(
    {
        {Cell::empty, ' '},
        {Cell::border_top, '#'},
        {Cell::border_bottom, '#'},
        {Cell::border_left, '#'},
        {Cell::border_right, '#'},
        {Cell::bomb, '*'},
        {Cell::power, '%'},
        {Cell::extra_life, '$'},
        {Cell::player, '@'},
        {Cell::player_hit, '!'},
    },
    '>', '|');

// What display mode 1 shows where the terminal cannot show the pictures
// (a locale without UTF-8): ASCII that looks like them.
constexpr GlyphSet PICTURE_STAND_INS = glyph_set(
    {
        {Cell::empty, ' '},
        {Cell::border_top, '^'},
        {Cell::border_bottom, 'v'},
        {Cell::border_left, '<'},
        {Cell::border_right, '>'},
        {Cell::bomb, '*'},
        {Cell::power, '%'},
        {Cell::extra_life, '$'},
        {Cell::player, '@'},
        {Cell::player_hit, '!'},
    },
    '>', '^');

// The stand-in of each control byte for a console without pictures: those
// of display mode 1's glyphs, '?' for any other.
constexpr StandIns picture_stand_ins() {
    StandIns stand_ins{};
    stand_ins.fill('?');
    for (std::size_t kind = 0; kind < CELL_KINDS; ++kind) {
        const auto picture = static_cast<unsigned char>(PICTURE_GLYPHS.cells[kind]);
        if (picture < stand_ins.size()) stand_ins[picture] = PICTURE_STAND_INS.cells[kind];
    }
    stand_ins[static_cast<unsigned char>(PICTURE_GLYPHS.bullet)] = PICTURE_STAND_INS.bullet;
    stand_ins[static_cast<unsigned char>(PICTURE_GLYPHS.level_marker)] = PICTURE_STAND_INS.level_marker;
    return stand_ins;
}

constexpr const GlyphSet& glyphs_of(DisplayMode mode) {
    return mode == DisplayMode::plain ? PLAIN_GLYPHS : PICTURE_GLYPHS;
}

}  // namespace skarvel
