#include "screens/data_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace skarvel {
namespace {

namespace fs = std::filesystem;

class DataFilesTest : public testing::TempDir {};

// From any folder, the help text is looked for in the records' folder, beside the program, then in its data folder.
TEST_F(DataFilesTest, HelpIsLookedForBesideTheProgramWhereverItStarts) {
    const fs::path program_folder = fs::read_symlink("/proc/self/exe").parent_path();
    const auto places = help_file_places("records/help.txt", "skarvel");
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[0], "records/help.txt");
    EXPECT_EQ(places[1], program_folder / "help.txt");
    EXPECT_EQ(places[2].string().rfind(program_folder.string() + "/", 0), 0u) << places[2];
    EXPECT_TRUE(places[3].is_absolute()) << places[3];
}

// Where the kernel does not tell, the program is found as it was started: by
// a path, or by its name on PATH (an empty entry is the working folder).
TEST_F(DataFilesTest, TheProgramIsFoundAsItWasStartedWhereTheKernelDoesNotTell) {
    for (const char* folder : {"bin", "other"}) fs::create_directory(folder);
    put("bin/game", "");
    put("other/game", "");  // not executable: passed over
    fs::permissions("bin/game", fs::perms::owner_all);
    const std::string path = (dir_ / "other").string() + "::" + (dir_ / "bin").string();
    const char* const saved = std::getenv("PATH");
    const std::string before = saved != nullptr ? saved : "";
    ::setenv("PATH", path.c_str(), 1);
    const fs::path game = fs::canonical("bin/game");
    EXPECT_EQ(program_file("game", "/nowhere/exe"), game);
    EXPECT_EQ(program_file("./bin/game", "/nowhere/exe"), game);
    EXPECT_EQ(program_file("absent", "/nowhere/exe"), fs::path());
    EXPECT_EQ(program_file("", "/nowhere/exe"), fs::path());  // not the working folder, found on PATH
    EXPECT_EQ(program_file(nullptr, "/nowhere/exe"), fs::path());
    ::setenv("PATH", before.c_str(), 1);
}

}  // namespace
}  // namespace skarvel
