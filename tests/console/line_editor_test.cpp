#include "console/line_editor.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace skarvel {
namespace {

constexpr int BACKSPACE = 127;

// A line typed at a prompt, a Backspace written as '<': the line and the screen stay in step.
TEST(LineEditor, BackspaceTakesTheLastCharacterShownOffTheLineAndTheScreen) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    const struct {
        std::string typed;
        std::string line;
        std::u32string screen;
    } cases[] = {
        {"12x<3", "123", U"123"},
        {"1\x04\x01\x1b"
         "2",
         "12", U"12"},              // control keys are ignored
        {"7\xc3\xa9<", "7", U"7"},  // a two-byte character
        {"12\x80<", "12", U"12"},   // a byte that is no character shows one stand-in
        {"1\xc3"
         "2",
         "1\xc3"
         "2",
         U"1\uFFFD2"},  // a character broken off, then a digit
        {"1\xc3"
         "2<<",
         "1", U"1"},
        {"1\xe2\x82<", "1", U"1"},            // unfinished, not shown yet
        {"1\xe2\xc3<", "1\xe2", U"1\uFFFD"},  // broken off by the start of another, which goes
        {"<<9", "9", U"9"},
        {"50\t25", "50\t25", U"50    25"},  // a tab blanks to the next 8-column stop
        {"5\t<2", "52", U"52"},             // and is taken back whole
        {"1\xc3\t<<9", "19", U"19"},
    };
    for (const auto& c : cases) {
        Console screen(true);
        screen.write("N:");  // the prompt stays, whatever is taken back
        std::string line;
        LineEditor editor(screen, line);
        for (const char b : c.typed)
            EXPECT_FALSE(editor.handle_key(b == '<' ? BACKSPACE : static_cast<unsigned char>(b)));
        std::u32string shown(screen.line(0));
        shown.erase(shown.find_last_not_of(U' ') + 1);
        EXPECT_EQ(line, c.line) << c.typed;
        EXPECT_EQ(shown, U"N:" + c.screen) << c.typed;
        EXPECT_TRUE(editor.handle_key('\r'));
        EXPECT_EQ(line, c.line + "\n");
    }
    (void)std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace skarvel
