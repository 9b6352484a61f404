#include "core/game_loop.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/rules_fixture.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using namespace testing;

// The game as it stood when a key was read.
struct Seen {
    int row, col, score, lives, powers;
    bool operator==(const Seen&) const = default;
};

// A scripted terminal playing in display mode 2 on a built field: it notes the
// game at every key read, and lets a test arrange the game just before a read.
class GameTerminal : public ScriptedTerminal {
public:
    explicit GameTerminal(GameState& g) : ScriptedTerminal(NOW), g_(g) {
        g.display_mode = DisplayMode::plain;
        build_field(g);
    }
    std::function<void(std::size_t read)> hook;
    std::vector<Seen> seen;

    // Before the first key: an emptied field with the player at (row, col), then `more`.
    void start_at(
        int row, int col, const std::function<void()>& more = [] {}) {
        hook = [this, row, col, more](std::size_t read) {
            if (read != 0) return;
            build_field(g_);
            g_.row = row, g_.col = col;
            more();
        };
    }
    Key read_key() override {
        if (hook) hook(seen.size());
        seen.push_back({g_.row, g_.col, g_.score, g_.lives_held, g_.powers_held});
        return ScriptedTerminal::read_key();
    }

private:
    GameState& g_;
};

// Line `n` of a screen (the header is line 0, field row i is line i + 1).
std::string line(const std::string& screen, int n) {
    std::istringstream in(screen);
    std::string l;
    for (int i = 0; i <= n; ++i) std::getline(in, l);
    return l;
}

// Where a game on the 40x20 field starts at NOW: std::minstd_rand seeded with it draws
// 1054880836 and 1168080539 first: row 1054880836 % 18 + 1, column 1168080539 % 38 + 1.
constexpr Position START{17, 22};

class Play : public ::testing::Test {
protected:
    GameState g;
    GameTerminal t{g};
};

TEST_F(Play, FirstScreenShowsAFreshGameAndQLeavesMidGame) {
    const Position start = START;
    t.keys("Q");
    EXPECT_EQ(play_games(g, t), PlayExit::quit_mid_game);
    EXPECT_EQ(t.seen, (std::vector<Seen>{{start.row, start.col, 0, 1, 0}}));
    EXPECT_EQ(t.commands(), std::vector<std::string>{"clear_screen"});
    const std::string s = t.screen();
    EXPECT_EQ(line(s, start.row + 1)[start.col], '@');
    EXPECT_NE(s.find("\t> Score: 0\n"), std::string::npos);
    EXPECT_NE(s.find("\t> Power: 0\n"), std::string::npos);
    EXPECT_NE(s.find("\t> Lives: 1\n"), std::string::npos);
    EXPECT_NE(s.find("\nBombs(*): 1\t"), std::string::npos);
}

TEST_F(Play, KeysMoveOneCellAndWrapAroundTheEdges) {
    const struct {
        Keys keys;
        int cols, rows;
        int row, col;              // before the keys
        int row_after, col_after;  // when Q is read
        int moves;
    } cases[] = {
        {chars("W"), 40, 20, 1, 5, 18, 5, 1},   {chars("S"), 40, 20, 18, 5, 1, 5, 1},
        {chars("A"), 40, 20, 5, 1, 5, 38, 1},   {chars("D"), 40, 20, 5, 38, 5, 1, 1},
        {UP, 40, 20, 1, 5, 18, 5, 1},           {DOWN, 40, 20, 18, 5, 1, 5, 1},
        {LEFT, 40, 20, 5, 1, 5, 38, 1},         {RIGHT, 40, 20, 5, 38, 5, 1, 1},
        {chars("wsad"), 40, 20, 5, 5, 5, 5, 4}, {chars("Hh"), 40, 20, 5, 5, 3, 5, 2},
        {OTHER_KEY, 40, 20, 5, 5, 5, 5, 0},    // a key without a character
        {chars("X?"), 40, 20, 5, 5, 5, 5, 0},  // X without a power
        {chars("A"), 3, 8, 3, 1, 3, 1, 1},      {chars("D"), 3, 8, 3, 1, 3, 1, 1},
        {chars("W"), 3, 8, 1, 1, 6, 1, 1},      {chars("S"), 3, 8, 6, 1, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.keys.size()) + " keys from (" + std::to_string(c.row) + ", " +
                     std::to_string(c.col) + ") on " + std::to_string(c.cols) + "x" + std::to_string(c.rows));
        GameState game;
        game.cols = c.cols, game.rows = c.rows;
        GameTerminal table{game};
        table.start_at(c.row, c.col);
        table.keys(c.keys).keys("Q");
        play_games(game, table);
        EXPECT_EQ(table.seen.back(), (Seen{c.row_after, c.col_after, c.moves, 1, 0}));
        EXPECT_EQ(table.commands(), std::vector<std::string>(1 + c.moves, "clear_screen"));  // one screen a move
    }
}

// Within one second every spawner draws alike, so the order shows. At NOW + 4 the generator draws 1055073920 (a
// multiple of 20: both items drop), 1898503715, 955674687, 1276594970, 472546205, 1854046768...: the player starts at
// (15, 4); the power takes the first free cell drawn after the first number, (12, 34); the life the next, (15, 18);
// the bomb, from the very first number, finds the player's cell and then (4, 19).
TEST_F(Play, TheFirstMoveDropsAPowerThenALifeThenABomb) {
    t.set_seconds(NOW + 4);
    t.keys("Q");
    play_games(g, t);
    EXPECT_EQ(t.seen, (std::vector<Seen>{{15, 4, 0, 1, 0}}));
    EXPECT_EQ((std::array{g.field[12][34], g.field[15][18], g.field[4][19]}),
              (std::array{Cell::power, Cell::extra_life, Cell::bomb}));
    EXPECT_EQ(g.bombs_placed + g.powers_on_field + g.lives_on_field, 3);
    EXPECT_EQ(g.placements_to_win, 18 * 38 - 2 - 3);  // the interior cells less two, less the three placed
}

TEST_F(Play, XSpendsAPowerWithoutAMove) {
    t.hook = [this](std::size_t read) {
        if (read != 0) return;
        g.powers_held = 2;
        t.forget();
    };
    t.keys("XQ");
    play_games(g, t);
    EXPECT_EQ(t.seen.back(), (Seen{t.seen[0].row, t.seen[0].col, 0, 1, 1}));
    EXPECT_EQ(t.commands(),
              (std::vector<std::string>{"flash_colours(black, red)", "set_colours(black, white)", "clear_screen"}));
    EXPECT_EQ(t.now_ms(), 20);
    const std::string s = t.screen();
    EXPECT_EQ(line(s, g.row + 1)[g.col], '@');
    EXPECT_NE(s.find("\t> Power: 1\n"), std::string::npos);
    EXPECT_NE(s.find("\nBombs(*): 1\tPowers(%): 0\tLives($): 0\n"), std::string::npos);
    EXPECT_EQ(g.field[g.row][g.col], Cell::empty);
}

TEST_F(Play, SteppingOnAnItemOrASurvivedBombCountsTheMoveAndEmptiesTheCell) {
    const struct {
        Cell cell;
        int lives;   // before the step
        Seen after;  // at the next key
        const char* panel;
        std::vector<std::string> commands;
    } cases[] = {
        {Cell::power, 1, {2, 3, 1, 1, 1}, "\t> Power: 1\n", {"clear_screen"}},
        {Cell::extra_life, 1, {2, 3, 1, 2, 0}, "\t> Lives: 2\n", {"clear_screen"}},
        {Cell::bomb,
         2,
         {2, 3, 1, 1, 0},
         "\t> Lives: 1\n",
         {"flash_colours(red, grey)", "clear_screen", "clear_screen", "set_colours(black, white)", "clear_screen"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panel);
        GameState game;
        GameTerminal table{game};
        table.start_at(2, 2, [&] {
            game.field[2][3] = c.cell, game.lives_held = c.lives;
            table.forget();
        });
        table.keys("DQ");
        play_games(game, table);
        EXPECT_EQ(table.seen.back(), c.after);
        EXPECT_EQ(table.commands(), c.commands);
        EXPECT_NE(table.screen().find(c.panel), std::string::npos);
        EXPECT_EQ(game.field[2][3], Cell::empty);
    }
}

TEST_F(Play, LastLifeLostEndsTheGameThenRetryAndQLeaveMidGame) {
    const struct {
        int best_score;
        const char* after_flash;  // up to the first screen of the retried game
    } cases[] = {
        {0,
         "{200}GAMEOVER!\a\n{800}<set_colours(yellow, black)>New high score!\n<set_colours(yellow, black)>\n\t\t> "
         "Retry (R)\n\t\t> Back (B)\n<clear_screen>"},
        {1, "{200}GAMEOVER!\a\n{800}<set_colours(yellow, black)>\n\t\t> Retry (R)\n\t\t> Back (B)\n<clear_screen>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.best_score);
        GameState game;
        game.best_score = c.best_score, game.colour_scheme = 6;
        GameTerminal table{game};
        table.hook = [&](std::size_t read) {
            if (read == 0) {
                build_field(game);
                game.row = 2, game.col = 2;
            } else if (read == 1) {  // one move survived, the next one fatal
                game.field[2][4] = Cell::bomb;
                table.forget();
            }
        };
        table.keys("DDxrQ");  // x is no command at the prompt
        EXPECT_EQ(play_games(game, table), PlayExit::quit_mid_game);
        const std::string log = table.transcript();
        ASSERT_EQ(log.rfind("<flash_colours(red, light_red)><clear_screen>", 0), 0u) << log;
        const std::size_t flash_end = log.find("{200}");
        EXPECT_EQ(line(log.substr(15, flash_end - 15), 3)[4], '!');
        EXPECT_EQ(log.substr(flash_end), c.after_flash + table.screen());
        EXPECT_EQ(game.best_score, 1);
        EXPECT_EQ(table.seen.back(),
                  (Seen{table.seen.back().row, table.seen.back().col, 0, 1, 0}));  // the retried game
    }
}

TEST_F(Play, WinOnATinyFieldThenBackLeavesAfterTheGame) {
    g.cols = 3, g.rows = 8, g.level = 10;
    build_field(g);
    t.set_seconds(NOW + 1);  // three bombs of six cells leave a free cell beside the player
    t.hook = [this](std::size_t read) {
        ASSERT_LT(read, 3u) << "no win in two steps";
        const int up = g.row == 1 ? 6 : g.row - 1;
        if (t.output().find("YOU ARE A WINNER!") != std::string::npos) {
            t.keys("B");
        } else {
            t.keys(g.field[up][1] == Cell::empty ? "W" : "S");  // towards a free cell
        }
    };
    EXPECT_EQ(play_games(g, t), PlayExit::back_after_game);
    EXPECT_EQ(std::tuple(g.games_won, g.best_score, g.placements_to_win), std::tuple(1, 0, 0));
    const std::string s = t.screen();
    EXPECT_EQ(line(s, g.row + 1).substr(0, 3), "#@#");
    const std::string tail = "YOU ARE A WINNER!\a\n\n\t\t> Retry (R)\n\t\t> Back (B)\n";
    EXPECT_EQ(s.substr(s.size() - tail.size()), tail);
}

TEST_F(Play, RRestartsOnARebuiltField) {
    t.start_at(5, 5, [this] { g.powers_held = 3, g.lives_held = 2; });
    t.keys("DDRQ");
    play_games(g, t);
    const Position start = START;
    EXPECT_EQ(t.seen,
              (std::vector<Seen>{{5, 5, 0, 2, 3}, {5, 6, 1, 2, 3}, {5, 7, 2, 2, 3}, {start.row, start.col, 0, 1, 0}}));
    EXPECT_EQ(count(g, Cell::bomb), 1);
    EXPECT_EQ(g.best_score, 0);
}

}  // namespace
}  // namespace skarvel
