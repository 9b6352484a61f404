#include "screens/command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace skarvel {
namespace {

using Action = CommandLine::Action;

// Parses `skarvel ARGS...`.
CommandLine parse(std::initializer_list<const char*> args) {
    std::vector<std::string> words{"skarvel"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return parse_command_line(static_cast<int>(words.size()), argv.data());
}

TEST(CommandLineTest, OptionsAreRead) {
    EXPECT_EQ(parse({}).action, Action::play);
    EXPECT_EQ(parse({}).records_dir, "");
    for (const auto& args : {std::initializer_list<const char*>{"-d", "a b"},
                             {"-da b"},
                             {"--dir", "a b"},
                             {"--dir=a b"},
                             {"--di", "a b"},
                             {"-d", "x", "--dir", "a b"}}) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, Action::play) << *args.begin();
        EXPECT_EQ(line.records_dir, "a b") << *args.begin();
    }
    EXPECT_EQ(parse({"-h"}).action, Action::show_usage);
    EXPECT_EQ(parse({"--help"}).action, Action::show_usage);
    EXPECT_EQ(parse({"-V"}).action, Action::show_version);
    EXPECT_EQ(parse({"--vers"}).action, Action::show_version);
    // The first of --help, --version and a mistake decides.
    EXPECT_EQ(parse({"--dir", "x", "-V", "-h", "--nonsense"}).action, Action::show_version);
    EXPECT_EQ(parse({"--nonsense", "-h"}).action, Action::bad_usage);
}

TEST(CommandLineTest, MistakesNameWhatWasTyped) {
    const struct {
        std::initializer_list<const char*> args;
        const char* error;
    } cases[] = {
        {{"--foo"}, "unknown option '--foo'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-hx"}, nullptr},  // -h decides before the x is seen
        {{"-Vx"}, nullptr},
        {{"-xh"}, "unknown option '-x'"},
        {{"--dir=a", "-xh"}, "unknown option '-x'"},
        {{"-d"}, "option '-d' needs a folder"},
        {{"--dir"}, "option '--dir' needs a folder"},
        {{"-d", ""}, "the folder of --dir has no name"},
        {{"--help=yes"}, "option '--help' takes no value"},
        {{"play"}, "unexpected argument 'play'"},
        {{"-d", "x", "y"}, "unexpected argument 'y'"},
        {{"y", "-d", "x"}, "unexpected argument 'y'"},
        {{"--", "-h"}, "unexpected argument '-h'"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.args);
        SCOPED_TRACE(*c.args.begin());
        if (c.error == nullptr) {
            EXPECT_NE(line.action, Action::bad_usage);
        } else {
            EXPECT_EQ(line.action, Action::bad_usage);
            EXPECT_EQ(line.error, c.error);
        }
    }
}

using RecordsDirTest = testing::TempDir;

TEST_F(RecordsDirTest, MissingFoldersAreMadeAFileInTheWayIsNot) {
    std::string why;
    EXPECT_TRUE(make_records_dir("new/and/deeper", why));
    EXPECT_TRUE(std::filesystem::is_directory("new/and/deeper"));
    EXPECT_TRUE(make_records_dir("new/and/deeper", why));  // already there
    EXPECT_EQ(why, "");

    put("file", "x");
    EXPECT_FALSE(make_records_dir("file", why));
    EXPECT_EQ(why, "cannot make the folder 'file': Not a directory");
    EXPECT_FALSE(make_records_dir("file/below", why));
    EXPECT_NE(why.find("'file/below'"), std::string::npos);
}

}  // namespace
}  // namespace skarvel
