#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "screens/screens.h"
#include "support/scripted_terminal.h"

namespace skarvel {
namespace {

using namespace std::string_literals;
using testing::ScriptedTerminal;

const std::string BACK_LINE = "\n\n\t\t\032 Back (B)\n";

// Everything that happened, in order: bytes as written, <commands>, {sleeps}.
std::string transcript(const ScriptedTerminal& term) {
    std::string all;
    for (const auto& e : term.events()) {
        if (e.kind == ScriptedTerminal::Kind::write) all += e.text;
        if (e.kind == ScriptedTerminal::Kind::command) all += "<" + e.text + ">";
        if (e.kind == ScriptedTerminal::Kind::sleep) all += "{" + e.text + "}";
    }
    return all;
}

// Each test runs in a fresh, empty working directory.
class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        std::string dir = (std::filesystem::temp_directory_path() / "skarvel-help-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        dir_ = dir;
        std::filesystem::current_path(dir_);
        rev(g, '1');
    }
    void TearDown() override {
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(dir_);
    }
    static void write_help(const std::string& text) { std::ofstream("help.txt", std::ios::binary) << text; }

    std::filesystem::path home_, dir_;
    GameState g;
    ScriptedTerminal term;
};

TEST_F(HelpTest, MissingFileIsReportedForTwoSecondsWithoutReadingAKey) {
    term.keys("b");
    EXPECT_EQ(help(g, term), 0);
    EXPECT_EQ(transcript(term), "<CLS>Loading...<CLS>\tHelp:\n\t Error: Cannot find the file \"help.txt\"! \a{2000}");
    EXPECT_EQ(term.keys_left(), 1u);
}

TEST_F(HelpTest, TextIsTypedWithAPauseAfterLettersAndDigitsOnly) {
    struct Case {
        std::string file;
        std::string typed;  // what follows the heading, {10} for each pause
    };
    const Case cases[] = {
        {"", ""},
        {"Hi.\n", "H{10}i{10}.\n"},
        {"Hi.", "H{10}i{10}."},
        {"a\r\nb\r\n", "a{10}\nb{10}\n"},  // Windows line ends read as Unix ones
        {"a\rb", "a{10}\rb{10}"},          // a lone carriage return stays
        {"Go, 2 go!\t#1\n", "G{10}o{10}, 2{10} g{10}o{10}!\t#1{10}\n"},
        {"\x1b[2J\a\v\f", "\x1b{10}[2{10}J{10}\a{10}\v\f"},  // control bytes pass through unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        write_help(c.file);
        ScriptedTerminal t;
        t.keys("b");
        EXPECT_EQ(help(g, t), 0);
        EXPECT_EQ(transcript(t), "<CLS>Loading...<CLS>\tHelp:\n" + c.typed + BACK_LINE);
    }
}

TEST_F(HelpTest, PQAndBLeaveEveryOtherKeyIsIgnored) {
    struct Case {
        std::string keys;
        int result;
    };
    const Case cases[] = {
        {"p", 1}, {"P", 1}, {"q", -1}, {"Q", -1}, {"b", 0}, {"B", 0},
        {"\xe0P", 1},                          // down arrow
        {"xh\0H\xe0H\xe0K\xe0M\r" "b"s, 0},    // the other arrows, Enter and strangers do nothing
    };
    write_help("x\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        ScriptedTerminal t;
        t.keys(c.keys);
        EXPECT_EQ(help(g, t), c.result);
        EXPECT_EQ(t.keys_left(), 0u);
        EXPECT_EQ(t.commands(), (std::vector<std::string>{"CLS", "CLS"}));
        EXPECT_EQ(t.screen(), "\tHelp:\nx\n" + BACK_LINE);
    }
}

}  // namespace
}  // namespace skarvel
