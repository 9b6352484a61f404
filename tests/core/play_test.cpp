#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/play.h"
#include "support/scripted_terminal.h"
#include "support/temp_dir.h"

namespace skarvel {
namespace {

using testing::ScriptedTerminal;

constexpr std::int64_t NOW = 1'700'000'000;

// The game as it stood when a key was read.
struct Seen {
    int x, y, score, lives, powers;
    bool operator==(const Seen&) const = default;
};

// A scripted terminal that plays a game in display mode '2' on a built field,
// notes the game at every key read and lets a test arrange the game, or queue
// the next key, just before the read.
class Table : public ScriptedTerminal {
public:
    explicit Table(GameState& g) : ScriptedTerminal(NOW), g_(g) {
        rev(g, '2');
        build(g);
    }
    std::function<void(std::size_t read)> hook;
    std::vector<Seen> seen;

    // Before the first key: an emptied field with the player at (x, y), then `more`.
    void start_at(int x, int y, const std::function<void()>& more = [] {}) {
        hook = [this, x, y, more](std::size_t read) {
            if (read != 0) return;
            build(g_);
            g_.x = x, g_.y = y;
            more();
        };
    }
    int read_key() override {
        if (hook) hook(seen.size());
        seen.push_back({g_.x, g_.y, g_.score, g_.live_left, g_.power_left});
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

// Every game runs in a directory of its own, so the score file can be watched.
class Play : public testing::TempDir {
protected:
    GameState g;
    Table t{g};
};

TEST_F(Play, FirstScreenShowsAFreshGameAndQLeavesNoScoreFile) {
    std::minstd_rand e(NOW);
    const int x = static_cast<int>(e() % 18) + 1, y = static_cast<int>(e() % 38) + 1;
    t.keys("Q");
    play(g, t);
    EXPECT_EQ(t.seen, (std::vector<Seen>{{x, y, 0, 1, 0}}));
    EXPECT_EQ(t.commands(), std::vector<std::string>{"CLS"});
    const std::string s = t.screen();
    EXPECT_EQ(line(s, x + 1)[y], '@');
    EXPECT_NE(s.find("\t> Score: 0\n"), std::string::npos);
    EXPECT_NE(s.find("\t> Power: 0\n"), std::string::npos);
    EXPECT_NE(s.find("\t> Lives: 1\n"), std::string::npos);
    EXPECT_NE(s.find("\nBombs(*): 1\t"), std::string::npos);
    EXPECT_EQ(get("score.txt"), "(none)");
}

TEST_F(Play, KeysMoveOneCellAndWrapAroundTheEdges) {
    const struct {
        std::string keys;
        int max_r, max_l;
        int x, y;              // before the keys
        int x_after, y_after;  // when Q is read
        int moves;
    } cases[] = {
        {"W", 40, 20, 1, 5, 18, 5, 1},      {"S", 40, 20, 18, 5, 1, 5, 1},
        {"A", 40, 20, 5, 1, 5, 38, 1},      {"D", 40, 20, 5, 38, 5, 1, 1},
        {"\xE0H", 40, 20, 1, 5, 18, 5, 1},  {"\xE0P", 40, 20, 18, 5, 1, 5, 1},
        {"\xE0K", 40, 20, 5, 1, 5, 38, 1},  {"\xE0M", 40, 20, 5, 38, 5, 1, 1},
        {"wsad", 40, 20, 5, 5, 5, 5, 4},    {"Hh", 40, 20, 5, 5, 3, 5, 2},
        {"\xE0", 40, 20, 5, 5, 5, 5, 0},    // a key without a character
        {"X?", 40, 20, 5, 5, 5, 5, 0},      // X without a power
        {"A", 3, 8, 3, 1, 3, 1, 1},         {"D", 3, 8, 3, 1, 3, 1, 1},
        {"W", 3, 8, 1, 1, 6, 1, 1},         {"S", 3, 8, 6, 1, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.keys) + " from (" + std::to_string(c.x) + ", " + std::to_string(c.y) +
                     ") on " + std::to_string(c.max_r) + "x" + std::to_string(c.max_l));
        GameState game;
        game.max_r = c.max_r, game.max_l = c.max_l;
        Table table{game};
        table.start_at(c.x, c.y);
        table.keys(c.keys).keys("Q");
        play(game, table);
        EXPECT_EQ(table.seen.back(), (Seen{c.x_after, c.y_after, c.moves, 1, 0}));
        EXPECT_EQ(table.commands(), std::vector<std::string>(1 + c.moves, "CLS"));  // one screen a move
    }
}

// Within one second every spawner draws alike, so the order shows: the power
// item drops first and takes the first free cell drawn, the life item the
// next one, and the bomb, drawn from the very first number, comes last.
TEST_F(Play, TheFirstMoveDropsAPowerThenALifeThenABomb) {
    std::int64_t second = NOW;
    while (std::minstd_rand(static_cast<std::minstd_rand::result_type>(second))() % 20 != 0) ++second;
    GameState game;
    Table table{game};
    table.set_seconds(second);
    table.keys("Q");
    play(game, table);
    std::minstd_rand e(static_cast<std::minstd_rand::result_type>(second));
    const int x = static_cast<int>(e() % 18) + 1, y = static_cast<int>(e() % 38) + 1;
    e.seed(static_cast<std::minstd_rand::result_type>(second));
    e();  // the drop's odds
    std::vector<std::pair<int, int>> free_cells;  // the free cells the draws give, in order
    while (free_cells.size() < 2) {
        const int row = static_cast<int>(e() % 18) + 1, col = static_cast<int>(e() % 38) + 1;
        if ((row != x || col != y) && std::find(free_cells.begin(), free_cells.end(), std::pair{row, col}) == free_cells.end())
            free_cells.emplace_back(row, col);
    }
    EXPECT_EQ(game.map[free_cells[0].first][free_cells[0].second], '%');
    EXPECT_EQ(game.map[free_cells[1].first][free_cells[1].second], '$');
    EXPECT_EQ(game.bomb_num, 1);
}

TEST_F(Play, XSpendsAPowerWithoutAMove) {
    t.hook = [this](std::size_t read) {
        if (read != 0) return;
        g.power_left = 2;
        t.forget();
    };
    t.keys("XQ");
    play(g, t);
    EXPECT_EQ(t.seen.back(), (Seen{t.seen[0].x, t.seen[0].y, 0, 1, 1}));
    EXPECT_EQ(t.commands(), (std::vector<std::string>{"COLOR 04", "COLOR 07", "CLS"}));
    EXPECT_EQ(t.now_ms(), 20);
    const std::string s = t.screen();
    EXPECT_EQ(line(s, g.x + 1)[g.y], '@');
    EXPECT_NE(s.find("\t> Power: 1\n"), std::string::npos);
    EXPECT_NE(s.find("\nBombs(*): 1\tPowers(%): 0\tLives($): 0\n"), std::string::npos);
    EXPECT_EQ(g.map[g.x][g.y], ' ');
}

TEST_F(Play, SteppingOnAnItemOrASurvivedBombCountsTheMoveAndEmptiesTheCell) {
    const struct {
        char cell;
        int lives;   // before the step
        Seen after;  // at the next key
        const char* panel;
        std::vector<std::string> commands;
    } cases[] = {
        {'%', 1, {2, 3, 1, 1, 1}, "\t> Power: 1\n", {"CLS"}},
        {'$', 1, {2, 3, 1, 2, 0}, "\t> Lives: 2\n", {"CLS"}},
        {'*', 2, {2, 3, 1, 1, 0}, "\t> Lives: 1\n", {"COLOR 48", "CLS", "CLS", "COLOR 07", "CLS"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        GameState game;
        Table table{game};
        table.start_at(2, 2, [&] {
            game.map[2][3] = c.cell, game.live_left = c.lives;
            table.forget();
        });
        table.keys("DQ");
        play(game, table);
        EXPECT_EQ(table.seen.back(), c.after);
        EXPECT_EQ(table.commands(), c.commands);
        EXPECT_NE(table.screen().find(c.panel), std::string::npos);
        EXPECT_EQ(game.map[2][3], ' ');
    }
}

TEST_F(Play, LastLifeLostEndsTheGameThenRetryAndQuitKeepTheScoreFile) {
    const struct {
        int h_score;
        const char* after_flash;  // up to the first screen of the retried game
    } cases[] = {
        {0, "{200}GAMEOVER!\a\n{800}<COLOR 60>New high score!\n<COLOR 60>\n\t\t> Retry (R)\n\t\t> Back (B)\n<CLS>"},
        {1, "{200}GAMEOVER!\a\n{800}<COLOR 60>\n\t\t> Retry (R)\n\t\t> Back (B)\n<CLS>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.h_score);
        put("score.txt", "0 2");
        GameState game;
        game.h_score = c.h_score, game.color = '6';
        Table table{game};
        table.hook = [&](std::size_t read) {
            if (read == 0) {
                build(game);
                game.x = 2, game.y = 2;
            } else if (read == 1) {  // one move survived, the next one fatal
                game.map[2][4] = '*';
                table.forget();
            }
        };
        table.keys("DDxrQ");  // x is no command at the prompt
        play(game, table);
        const std::string log = table.transcript();
        ASSERT_EQ(log.rfind("<COLOR 4C><CLS>", 0), 0u) << log;
        const std::size_t flash_end = log.find("{200}");
        EXPECT_EQ(line(log.substr(15, flash_end - 15), 3)[4], '!');
        EXPECT_EQ(log.substr(flash_end), c.after_flash + table.screen());
        EXPECT_EQ(game.h_score, 1);
        EXPECT_EQ(table.seen.back().score, 0);  // Q read in the retried game
        EXPECT_EQ(table.seen.back().lives, 1);
        EXPECT_EQ(get("score.txt"), "0 2");
    }
}

TEST_F(Play, WinOnATinyFieldThenBackSavesTheScore) {
    g.max_r = 3, g.max_l = 8, g.lev = 10;
    build(g);
    t.set_seconds(NOW + 1);  // three bombs of six cells leave a free cell beside the player
    t.hook = [this](std::size_t read) {
        ASSERT_LT(read, 3u) << "no win in two steps";
        const int up = g.x == 1 ? 6 : g.x - 1;
        if (t.output().find("YOU ARE A WINNER!") != std::string::npos) {
            t.keys("B");
        } else {
            t.keys(g.map[up][1] == ' ' ? "W" : "S");  // towards a free cell
        }
    };
    play(g, t);
    EXPECT_EQ(g.survival, 1);
    EXPECT_EQ(g.h_score, 0);
    EXPECT_EQ(g.left, 1);
    const std::string s = t.screen();
    EXPECT_EQ(line(s, g.x + 1).substr(0, 3), "#@#");
    const std::string tail = "YOU ARE A WINNER!\a\n\n\t\t> Retry (R)\n\t\t> Back (B)\n";
    EXPECT_EQ(s.substr(s.size() - tail.size()), tail);
    EXPECT_EQ(get("score.txt"), "0 1");
}

TEST_F(Play, RRestartsOnARebuiltField) {
    t.start_at(5, 5, [this] { g.power_left = 3, g.live_left = 2; });
    t.keys("DDRQ");
    play(g, t);
    std::minstd_rand e(NOW);
    const int x = static_cast<int>(e() % 18) + 1, y = static_cast<int>(e() % 38) + 1;
    EXPECT_EQ(t.seen, (std::vector<Seen>{{5, 5, 0, 2, 3}, {5, 6, 1, 2, 3}, {5, 7, 2, 2, 3}, {x, y, 0, 1, 0}}));
    int bombs_on_field = 0;
    for (int i = 1; i < 19; ++i) bombs_on_field += static_cast<int>(std::count(&g.map[i][1], &g.map[i][39], '*'));
    EXPECT_EQ(bombs_on_field, 1);
    EXPECT_EQ(g.h_score, 0);
    EXPECT_EQ(get("score.txt"), "(none)");
}

}  // namespace
}  // namespace skarvel
