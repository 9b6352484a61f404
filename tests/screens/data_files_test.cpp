#include "screens/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace skarvel {
namespace {

namespace fs = std::filesystem;

class HelpFileTest : public testing::TempDir {
protected:
    void SetUp() override {
        TempDir::SetUp();
        g.data_dirs = {"first", "second"};
        for (const char* dir : {"records", "first", "second"}) fs::create_directory(dir);
    }
    GameState g;
};

TEST_F(HelpFileTest, RecordsFolderFirstThenTheDataFoldersInOrder) {
    EXPECT_EQ(find_help_file(g), "");
    put("second/help.txt", "installed");
    EXPECT_EQ(find_help_file(g), "second/help.txt");
    put("help.txt", "in the working directory");
    EXPECT_EQ(find_help_file(g), "help.txt");
    g.records_dir = "records";
    EXPECT_EQ(find_help_file(g), "second/help.txt");  // the working directory is no longer asked
    put("records/help.txt", "the player's own");
    EXPECT_EQ(find_help_file(g), "records/help.txt");
}

TEST_F(HelpFileTest, OnlyRegularFilesCount) {
    g.records_dir = "records";
    put("second/help.txt", "installed");
    ASSERT_EQ(::mkfifo("records/help.txt", 0600), 0);
    fs::create_directory("first/help.txt");
    EXPECT_EQ(find_help_file(g), "second/help.txt");

    fs::remove("records/help.txt");
    fs::create_symlink("../second/help.txt", "records/help.txt");
    EXPECT_EQ(find_help_file(g), "records/help.txt");
}

}  // namespace
}  // namespace skarvel
