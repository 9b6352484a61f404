#include "records/records.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>

#include "support/temp_dir.h"

namespace skarvel {
namespace {

namespace fs = std::filesystem;

std::tuple<std::int32_t, std::int32_t, char, char, std::int32_t> options(const GameState& g) {
    return {g.max_r, g.max_l, g.color, g.rev_mode, g.lev};
}

class Records : public testing::TempDir {};

TEST_F(Records, ScoreIsReadFieldByField) {
    const struct {
        const char* text;
        std::int32_t h_score, survival;
    } cases[] = {
        {"17", 17, 0},
        {"-5 2", -5, 2},
        {"152 3", 152, 3},
        {"\r\n 4 \r\n9\r\n", 4, 9},
        {"", 0, 0},
        {"x 5", 0, 0},
        {"- 5", 0, 0},  // a sign without digits is no number: reading stops
        {"7 x", 7, 0},
        {"99999999999 -99999999999", INT32_MAX, INT32_MIN},
    };
    for (const auto& c : cases) {
        put(F_SCO, c.text);
        GameState g;
        load_score(g);
        EXPECT_EQ(std::tuple(g.h_score, g.survival), std::tuple(c.h_score, c.survival)) << c.text;
    }
}

TEST_F(Records, OptionsAreReadFieldByFieldAndBroughtIntoRange) {
    const struct {
        const char* text;
        std::int32_t max_r, max_l;
        char color, rev_mode;
        std::int32_t lev;
    } cases[] = {
        {"50 25", 50, 25, '1', '1', 1},
        {"40 20 12 3", 40, 20, '1', '2', 3},
        {"60\n25\n4\n2\n7", 60, 25, '4', '2', 7},
        {"60\r\n25\r\n4\r\n2\r\n7\r\n", 60, 25, '4', '2', 7},
        {"abc 20 1 1 1", 40, 20, '1', '1', 1},
        {"50 x 3 2 5", 50, 20, '1', '1', 1},
        {"50 25 3 2 x", 50, 25, '3', '2', 1},
        {"120 30 8 2 10 and more", 120, 30, '8', '2', 10},
        {"3 8 1 1 1", 3, 8, '1', '1', 1},
        {"2 7 0 3 0", 3, 8, '1', '1', 1},
        {"121 31 9 0 11", 120, 30, '1', '1', 10},
        {"-4 -4 h p -4", 3, 8, '1', '1', 1},
        {"99999999999 99999999999 5 1 99999999999", 120, 30, '5', '1', 10},
        {"-99999999999 -99999999999 5 1 -99999999999", 3, 8, '5', '1', 1},
    };
    for (const auto& c : cases) {
        put(F_OPT, c.text);
        GameState g;
        load_options(g);
        EXPECT_EQ(options(g), std::tuple(c.max_r, c.max_l, c.color, c.rev_mode, c.lev)) << c.text;
    }
}

TEST_F(Records, MissingFilesChangeNothing) {
    GameState g;
    g.h_score = 5;
    g.max_r = 77;
    g.color = '6';
    load_score(g);
    load_options(g);
    EXPECT_EQ(std::tuple(g.h_score, g.survival), std::tuple(5, 0));
    EXPECT_EQ(options(g), std::tuple(77, 20, '6', '1', 1));
}

TEST_F(Records, SavesWriteExactlyTheFieldsAndNothingElse) {
    put(F_SCO, "123456789 987654321 and an old tail");
    GameState g;
    g.h_score = 152, g.survival = 3;
    save_score(g);
    EXPECT_EQ(get(F_SCO), "152 3");
    g.h_score = INT32_MIN, g.survival = -2;
    save_score(g);
    EXPECT_EQ(get(F_SCO), "-2147483648 -2");
    save_options(g);
    EXPECT_EQ(get(F_OPT), "40 20 1 1 1");
    g.max_r = 120, g.max_l = 8, g.color = '3', g.rev_mode = '2', g.lev = 10;
    save_options(g);
    EXPECT_EQ(get(F_OPT), "120 8 3 2 10");
    EXPECT_EQ(files(), (std::set<std::string>{F_SCO, F_OPT}));
}

// A new record gets what the umask leaves of 0666; a replaced one keeps its own.
TEST_F(Records, SavesGiveTheRecordItsPermissions) {
    const mode_t old = ::umask(022);
    save_score(GameState{});
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(F_SCO, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(F_SCO, 0600), 0);
    save_score(GameState{});
    ASSERT_EQ(::stat(F_SCO, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A write that fails midway (here: no file may grow past 0 bytes) leaves the
// old record whole and no temporary file behind, for root as well.
TEST_F(Records, FailedWriteKeepsTheOldRecord) {
    put(F_SCO, "10 2");
    put(F_OPT, "50 25 3 2 4");
    GameState g;
    g.h_score = 999;
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    save_score(g);
    save_options(g);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(get(F_SCO), "10 2");
    EXPECT_EQ(get(F_OPT), "50 25 3 2 4");
    EXPECT_EQ(files(), (std::set<std::string>{F_SCO, F_OPT}));
}

// A record name taken by a folder cannot be replaced, for root as well.
TEST_F(Records, SaveOverAFolderLeavesNoTemporaryFile) {
    fs::create_directory(F_SCO);
    save_score(GameState{});
    EXPECT_TRUE(fs::is_directory(F_SCO));
    EXPECT_EQ(files(), std::set<std::string>{F_SCO});
}

TEST_F(Records, ReadOnlyRecordsAndFoldersAreLeftAsTheyWere) {
    put(F_SCO, "10 2");
    fs::permissions(F_SCO, fs::perms::owner_read);
    if (std::ofstream(F_SCO, std::ios::app)) GTEST_SKIP() << "this process may write read-only files";
    GameState g;
    g.h_score = 999;
    save_score(g);
    EXPECT_EQ(get(F_SCO), "10 2");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    save_options(g);
    EXPECT_EQ(files(), std::set<std::string>{F_SCO});
}

}  // namespace
}  // namespace skarvel
