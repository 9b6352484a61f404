#include "records/record_store.h"

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

class Records : public testing::TempDir {
protected:
    RecordStore store{"."};
};

TEST_F(Records, ScoreIsReadFieldByField) {
    const struct {
        const char* text;
        ScoreRecord read;
    } cases[] = {
        {"17", {17, 0}},
        {"-5 2", {-5, 2}},
        {"152 3", {152, 3}},
        {"\r\n 4 \r\n9\r\n", {4, 9}},
        {"", {0, 0}},
        {"x 5", {0, 0}},
        {"- 5", {0, 0}},  // a sign without digits is no number: reading stops
        {"7 x", {7, 0}},
        {"99999999999 -99999999999", {INT32_MAX, INT32_MIN}},
    };
    for (const auto& c : cases) {
        put(SCORE_FILE, c.text);
        ScoreRecord r;
        store.load_score(r);
        EXPECT_EQ(r, c.read) << c.text;
    }
}

TEST_F(Records, OptionsAreReadFieldByFieldAsTheyStand) {
    const struct {
        const char* text;
        OptionsRecord read;
    } cases[] = {
        {"50 25", {50, 25, '1', '1', 1}},
        {"40 20 12 3", {40, 20, '1', '2', 3}},
        {"60\r\n25\r\n4\r\n2\r\n7\r\n", {60, 25, '4', '2', 7}},
        {"abc 20 1 1 1", {40, 20, '1', '1', 1}},
        {"50 x 3 2 5", {50, 20, '1', '1', 1}},
        {"50 25 3 2 x", {50, 25, '3', '2', 1}},
        {"120 30 8 2 10 and more", {120, 30, '8', '2', 10}},
        {"-4 -4 h p -4", {-4, -4, 'h', 'p', -4}},
    };
    for (const auto& c : cases) {
        put(OPTIONS_FILE, c.text);
        OptionsRecord r;
        store.load_options(r);
        EXPECT_EQ(r, c.read) << c.text;
    }
}

TEST_F(Records, MissingFilesChangeNothing) {
    ScoreRecord score{5, 6};
    OptionsRecord options{77, 20, '6', '1', 1};
    store.load_score(score);
    store.load_options(options);
    EXPECT_EQ(score, (ScoreRecord{5, 6}));
    EXPECT_EQ(options, (OptionsRecord{77, 20, '6', '1', 1}));
}

TEST_F(Records, SavesWriteExactlyTheFieldsAndNothingElse) {
    put(SCORE_FILE, "123456789 987654321 and an old tail");
    store.save_score({152, 3});
    EXPECT_EQ(get(SCORE_FILE), "152 3");
    store.save_score({INT32_MIN, -2});
    EXPECT_EQ(get(SCORE_FILE), "-2147483648 -2");
    store.save_options({});
    EXPECT_EQ(get(OPTIONS_FILE), "40 20 1 1 1");
    store.save_options({120, 8, '3', '2', 10});
    EXPECT_EQ(get(OPTIONS_FILE), "120 8 3 2 10");
    EXPECT_EQ(files(), (std::set<std::string>{SCORE_FILE, OPTIONS_FILE}));
}

// A new record gets what the umask leaves of 0666; a replaced one keeps its own.
TEST_F(Records, SavesGiveTheRecordItsPermissions) {
    const mode_t old = ::umask(022);
    store.save_score({});
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(SCORE_FILE, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(SCORE_FILE, 0600), 0);
    store.save_score({});
    ASSERT_EQ(::stat(SCORE_FILE, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A write that fails midway (here: no file may grow past 0 bytes) leaves the
// old record whole and no temporary file behind, for root as well.
TEST_F(Records, FailedWriteKeepsTheOldRecord) {
    put(SCORE_FILE, "10 2");
    put(OPTIONS_FILE, "50 25 3 2 4");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    store.save_score({999, 0});
    store.save_options({});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(get(SCORE_FILE), "10 2");
    EXPECT_EQ(get(OPTIONS_FILE), "50 25 3 2 4");
    EXPECT_EQ(files(), (std::set<std::string>{SCORE_FILE, OPTIONS_FILE}));
}

// A record name taken by a folder cannot be replaced, for root as well.
TEST_F(Records, SaveOverAFolderLeavesNoTemporaryFile) {
    fs::create_directory(SCORE_FILE);
    store.save_score({});
    EXPECT_TRUE(fs::is_directory(SCORE_FILE));
    EXPECT_EQ(files(), std::set<std::string>{SCORE_FILE});
}

TEST_F(Records, ReadOnlyRecordsAndFoldersAreLeftAsTheyWere) {
    put(SCORE_FILE, "10 2");
    fs::permissions(SCORE_FILE, fs::perms::owner_read);
    if (std::ofstream(SCORE_FILE, std::ios::app)) GTEST_SKIP() << "this process may write read-only files";
    store.save_score({999, 0});
    EXPECT_EQ(get(SCORE_FILE), "10 2");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    store.save_options({});
    EXPECT_EQ(files(), std::set<std::string>{SCORE_FILE});
}

}  // namespace
}  // namespace skarvel
