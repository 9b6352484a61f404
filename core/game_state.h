// The one record of the run: the field, the counters of a game, the settings
// and the glyphs in use.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace skarvel {

constexpr int MAX_L = 35;   // rows the grid can hold
constexpr int MAX_R = 125;  // columns the grid can hold
constexpr char SPC = ' ';   // an empty cell

// Display mode '1': control bytes that the console shows as code-page-437 pictures.
constexpr char PLAYER = 1;
constexpr char PLAYER_DEAD = 2;
constexpr char BOMB = 15;
constexpr char POW = 21;
constexpr char LIVE = 3;
constexpr char SIDE_U = 30;
constexpr char SIDE_D = 31;
constexpr char SIDE_L = 17;
constexpr char SIDE_R = 16;
constexpr char P = 26;
constexpr char P_3 = 24;

// Display mode '2': plain ASCII.
constexpr char PLAYER2 = '@';
constexpr char PLAYER_DEAD2 = '!';
constexpr char BOMB2 = '*';
constexpr char POW2 = '%';
constexpr char LIVE2 = '$';
constexpr char SIDE_U2 = '#';
constexpr char SIDE_D2 = '#';
constexpr char SIDE_L2 = '#';
constexpr char SIDE_R2 = '#';
constexpr char P2 = '>';
constexpr char P2_3 = '|';

struct GlyphSet {
    char player;       // the player
    char player_dead;  // the player while hit, and at game over
    char bomb;         // a bomb
    char pow;          // a power item
    char live;         // an extra-life item
    char side_u;       // top border
    char side_d;       // bottom border
    char side_l;       // left border
    char side_r;       // right border
    char p;            // pointer before menu and side-panel lines
    char p_3;          // level marker on the level screen
};

constexpr GlyphSet GLYPHS_1{PLAYER,  PLAYER_DEAD, BOMB,   POW, LIVE, SIDE_U,
                            SIDE_D,  SIDE_L,      SIDE_R, P,   P_3};
constexpr GlyphSet GLYPHS_2{PLAYER2,  PLAYER_DEAD2, BOMB2,   POW2, LIVE2, SIDE_U2,
                            SIDE_D2,  SIDE_L2,      SIDE_R2, P2,   P2_3};

struct GameState {
    std::array<std::array<char, MAX_R>, MAX_L> map{};  // the field, [row][column]
    std::int32_t max_r = 40;       // field length: columns in use, borders included
    std::int32_t max_l = 20;       // field width: rows in use, borders included
    std::int32_t x = 0;            // player's row
    std::int32_t y = 0;            // player's column
    std::int32_t lev = 1;          // level, 1..10
    std::int32_t left = 0;         // placement budget of the current game
    std::int32_t score = 0;        // moves survived in the current game
    std::int32_t h_score = 0;      // best score ever (stored)
    std::int32_t survival = 0;     // games won (stored)
    std::int32_t bomb_num = 0;     // bombs placed since the field was built
    std::int32_t power_num = 0;    // power items lying on the field
    std::int32_t live_num = 0;     // extra-life items lying on the field
    std::int32_t power_left = 0;   // powers the player holds
    std::int32_t live_left = 0;    // lives the player holds
    char color = '1';              // colour scheme code, '1'..'8'
    char rev_mode = '1';           // display mode, '1' or '2'
    GlyphSet glyphs{};             // glyphs of the display mode, set by rev
    std::minstd_rand rng;          // the spawners' generator, reseeded from the clock
    std::string records_dir;       // folder of score.txt and options.txt, "" for the working directory
    std::vector<std::string> data_dirs;  // where help.txt is looked up after records_dir
};

// Loads the glyph set of display mode '1' or '2'; any other mode changes nothing.
void rev(GameState& g, char mode);

// Makes an empty bordered field of the current size and zeroes the on-field counts.
void build(GameState& g);

}  // namespace skarvel
