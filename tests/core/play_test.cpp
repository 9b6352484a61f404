#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/play.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using testing::ScriptedTerminal;

constexpr std::int64_t NOW = 1'700'000'000;

// The game as it stood when a key was read.
struct Seen {
    int x, y, score, lives, powers;
    bool operator==(const Seen&) const = default;
};

// A scripted terminal that notes the game at every key read and lets a test
// arrange the game, or queue the next key, just before the read.
class Table : public ScriptedTerminal {
public:
    Table(GameState& g, std::int64_t now) : ScriptedTerminal(now), g_(g) {}
    std::function<void(std::size_t read)> hook;
    std::vector<Seen> seen;

    int read_key() override {
        if (hook) hook(seen.size());
        seen.push_back({g_.x, g_.y, g_.score, g_.live_left, g_.power_left});
        return ScriptedTerminal::read_key();
    }

private:
    GameState& g_;
};

std::string transcript(const ScriptedTerminal& t) {
    std::string s;
    for (const auto& e : t.events()) {
        if (e.kind == ScriptedTerminal::Kind::command) s += "[" + e.text + "]";
        else if (e.kind == ScriptedTerminal::Kind::sleep) s += "<" + e.text + ">";
        else s += e.text;
    }
    return s;
}

// Line `n` of a screen (the header is line 0, field row i is line i + 1).
std::string line(const std::string& screen, int n) {
    std::istringstream in(screen);
    std::string l;
    for (int i = 0; i <= n; ++i) std::getline(in, l);
    return l;
}

// Every game runs in a directory of its own, so the score file can be watched.
class Play : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        ASSERT_NE(mkdtemp(dir_), nullptr);
        ASSERT_EQ(chdir(dir_), 0);
        rev(g, '2');
        build(g);
    }
    void TearDown() override {
        std::remove("score.txt");
        EXPECT_EQ(chdir(home_), 0);
        rmdir(dir_);
    }
    static std::string score_file() {
        std::ifstream in("score.txt");
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
    }
    // Puts the player at (x, y) on an emptied field before the first key.
    void start_at(int x, int y) {
        t.hook = [this, x, y](std::size_t read) {
            if (read != 0) return;
            build(g);
            g.x = x, g.y = y;
        };
    }
    int screens() const {
        const auto c = t.commands();
        return static_cast<int>(std::count(c.begin(), c.end(), "CLS"));
    }

    GameState g;
    Table t{g, NOW};

private:
    char home_[4096]{};
    char dir_[32] = "/tmp/skarvel-play-XXXXXX";
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
    EXPECT_EQ(score_file(), "(none)");
}

struct KeyCase {
    const char* keys;
    int max_r, max_l;
    int x, y;              // before the keys
    int x_after, y_after;  // when Q is read
    int moves;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << "keys " << ::testing::PrintToString(std::string(c.keys)) << " from (" << c.x << ", " << c.y << ") on " << c.max_r
        << "x" << c.max_l;
}

class PlayKeys : public Play, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PlayKeys, MoveOneCellAndWrapAroundTheEdges) {
    const KeyCase& c = GetParam();
    g.max_r = c.max_r, g.max_l = c.max_l;
    build(g);
    start_at(c.x, c.y);
    t.keys(c.keys).keys("Q");
    play(g, t);
    EXPECT_EQ(t.seen.back(), (Seen{c.x_after, c.y_after, c.moves, 1, 0}));
    EXPECT_EQ(screens(), 1 + c.moves);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlayKeys,
    ::testing::Values(KeyCase{"W", 40, 20, 1, 5, 18, 5, 1}, KeyCase{"S", 40, 20, 18, 5, 1, 5, 1},
                      KeyCase{"A", 40, 20, 5, 1, 5, 38, 1}, KeyCase{"D", 40, 20, 5, 38, 5, 1, 1},
                      KeyCase{"\xE0H", 40, 20, 1, 5, 18, 5, 1}, KeyCase{"\xE0P", 40, 20, 18, 5, 1, 5, 1},
                      KeyCase{"\xE0K", 40, 20, 5, 1, 5, 38, 1}, KeyCase{"\xE0M", 40, 20, 5, 38, 5, 1, 1},
                      KeyCase{"wsad", 40, 20, 5, 5, 5, 5, 4}, KeyCase{"Hh", 40, 20, 5, 5, 3, 5, 2},
                      KeyCase{"\xE0", 40, 20, 5, 5, 5, 5, 0},  // a key without a character
                      KeyCase{"X?", 40, 20, 5, 5, 5, 5, 0},    // X without a power
                      KeyCase{"A", 3, 8, 3, 1, 3, 1, 1}, KeyCase{"D", 3, 8, 3, 1, 3, 1, 1},
                      KeyCase{"W", 3, 8, 1, 1, 6, 1, 1}, KeyCase{"S", 3, 8, 6, 1, 1, 1, 1}));

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
    EXPECT_EQ(t.slept_ms(), 20);
    const std::string s = t.screen();
    EXPECT_EQ(line(s, g.x + 1)[g.y], '@');
    EXPECT_NE(s.find("\t> Power: 1\n"), std::string::npos);
    EXPECT_NE(s.find("\nBombs(*): 1\tPowers(%): 0\tLives($): 0\n"), std::string::npos);
    EXPECT_EQ(g.map[g.x][g.y], ' ');
}

TEST_F(Play, SteppingOnAnItemCollectsIt) {
    for (const char item : {'%', '$'}) {
        SCOPED_TRACE(item);
        GameState game;
        rev(game, '2');
        build(game);
        Table table{game, NOW};
        table.hook = [&](std::size_t read) {
            if (read != 0) return;
            build(game);
            game.x = 2, game.y = 2;
            game.map[2][3] = item;
        };
        table.keys("DQ");
        play(game, table);
        const bool power = item == '%';
        EXPECT_EQ(table.seen.back(), (Seen{2, 3, 1, power ? 1 : 2, power ? 1 : 0}));
        EXPECT_NE(table.screen().find(power ? "\t> Power: 1\n" : "\t> Lives: 2\n"), std::string::npos);
        EXPECT_EQ(game.map[2][3], ' ');
    }
}

TEST_F(Play, BombWithASpareLifeFlashesAndCountsTheMove) {
    t.hook = [this](std::size_t read) {
        if (read != 0) return;
        build(g);
        g.x = 2, g.y = 2, g.map[2][3] = '*', g.live_left = 2;
        t.forget();
    };
    t.keys("DQ");
    play(g, t);
    EXPECT_EQ(t.seen.back(), (Seen{2, 3, 1, 1, 0}));
    EXPECT_EQ(t.commands(), (std::vector<std::string>{"COLOR 48", "CLS", "CLS", "COLOR 07", "CLS"}));
    EXPECT_EQ(t.slept_ms(), 500);
}

struct GameOverCase {
    int h_score;
    const char* after_flash;
};

TEST_F(Play, LastLifeLostEndsTheGameThenRetryAndQuitKeepTheScoreFile) {
    const GameOverCase cases[] = {
        {0, "<200>GAMEOVER!\a\n<800>[COLOR 60]New high score!\n[COLOR 60]\n\t\t> Retry (R)\n\t\t> Back (B)\n[CLS]"},
        {1, "<200>GAMEOVER!\a\n<800>[COLOR 60]\n\t\t> Retry (R)\n\t\t> Back (B)\n[CLS]"},
    };
    for (const GameOverCase& c : cases) {
        SCOPED_TRACE(c.h_score);
        std::ofstream("score.txt") << "0 2";
        GameState game;
        rev(game, '2');
        build(game);
        game.h_score = c.h_score, game.color = '6';
        Table table{game, NOW};
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
        const std::string log = transcript(table);
        ASSERT_EQ(log.rfind("[COLOR 4C][CLS]", 0), 0u) << log;
        const std::string over = log.substr(15, log.find("<200>") - 15);
        EXPECT_EQ(line(over, 3)[4], '!');
        EXPECT_NE(log.find(c.after_flash), std::string::npos) << log;
        EXPECT_EQ(game.h_score, 1);
        EXPECT_EQ(table.seen.back().score, 0);  // Q read in the retried game
        EXPECT_EQ(table.seen.back().lives, 1);
        EXPECT_EQ(score_file(), "0 2");
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
    EXPECT_EQ(score_file(), "0 1");
}

TEST_F(Play, RRestartsOnARebuiltField) {
    start_at(5, 5);
    t.hook = [this, first = t.hook](std::size_t read) {
        first(read);
        if (read == 0) g.power_left = 3, g.live_left = 2;
    };
    t.keys("DDRQ");
    play(g, t);
    std::minstd_rand e(NOW);
    const int x = static_cast<int>(e() % 18) + 1, y = static_cast<int>(e() % 38) + 1;
    EXPECT_EQ(t.seen, (std::vector<Seen>{{5, 5, 0, 2, 3}, {5, 6, 1, 2, 3}, {5, 7, 2, 2, 3}, {x, y, 0, 1, 0}}));
    int bombs_on_field = 0;
    for (int i = 1; i < 19; ++i) bombs_on_field += static_cast<int>(std::count(&g.map[i][1], &g.map[i][39], '*'));
    EXPECT_EQ(bombs_on_field, 1);
    EXPECT_EQ(g.h_score, 0);
    EXPECT_EQ(score_file(), "(none)");
}

}  // namespace
}  // namespace skarvel
