#include "console/screen_buffer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace skarvel {
namespace {

// A line of the screen without its trailing blanks.
std::u32string text(const ScreenBuffer& screen, int row) {
    std::u32string line(screen.line(row));
    line.erase(line.find_last_not_of(U' ') + 1);
    return line;
}

struct Cursor {
    int row;
    int col;
    bool operator==(const Cursor&) const = default;
};
Cursor cursor(const ScreenBuffer& screen) { return {screen.row(), screen.col()}; }

// The locale decides which characters show in one column.
class ScreenBufferTest : public ::testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
    ScreenBuffer utf8{true};
};

TEST_F(ScreenBufferTest, TabsBackspacesAndLineEnds) {
    utf8.write("a\tb\tc\n\tx\by\b\b\b\b\b\b\b\b\bz");
    EXPECT_EQ(text(utf8, 0), U"a       b       c");
    EXPECT_EQ(text(utf8, 1), U"z       y");  // never left of column 0
    EXPECT_EQ(cursor(utf8), (Cursor{1, 1}));

    // A tab from the last stop blanks to the end of the line and wraps.
    utf8.clear();
    utf8.write(std::string(145, '-') + "\t!");
    EXPECT_EQ(text(utf8, 0), std::u32string(145, U'-'));
    EXPECT_EQ(text(utf8, 1), U"!");
}

TEST_F(ScreenBufferTest, TheLastColumnWrapsAndTheLastLineScrolls) {
    utf8.write(std::string(CONSOLE_COLS, 'a'));
    EXPECT_EQ(cursor(utf8), (Cursor{1, 0}));
    utf8.write("\b");  // the wrap is done: a backspace cannot undo it
    EXPECT_EQ(cursor(utf8), (Cursor{1, 0}));

    utf8.clear();
    for (char c = 'A'; c < 'A' + CONSOLE_LINES; ++c) utf8.write(std::string(1, c) + "\n");
    EXPECT_EQ(text(utf8, 0), U"B");  // 'A' scrolled off
    EXPECT_EQ(text(utf8, CONSOLE_LINES - 2), std::u32string(1, U'A' + CONSOLE_LINES - 1));
    EXPECT_EQ(text(utf8, CONSOLE_LINES - 1), U"");
    EXPECT_EQ(cursor(utf8), (Cursor{CONSOLE_LINES - 1, 0}));

    // A character in the very last cell scrolls at once.
    utf8.write(std::string(CONSOLE_COLS, 'z'));
    EXPECT_EQ(text(utf8, CONSOLE_LINES - 2), std::u32string(CONSOLE_COLS, U'z'));
    EXPECT_EQ(cursor(utf8), (Cursor{CONSOLE_LINES - 1, 0}));
}

TEST_F(ScreenBufferTest, TheBellShowsNothingAndIsTakenOnce) {
    EXPECT_FALSE(utf8.take_bell());
    utf8.write("a\ab");
    EXPECT_EQ(text(utf8, 0), U"ab");
    EXPECT_TRUE(utf8.take_bell());
    EXPECT_FALSE(utf8.take_bell());
}

TEST_F(ScreenBufferTest, ControlBytesShowPicturesOrPlainStandIns) {
    ScreenBuffer plain(false);
    const std::string bytes("\x00\x01\x02\x03\x0f\x10\x11\x15\x18\x1a\x1b\x1e\x1f\x7f", 14);
    utf8.write(bytes);
    plain.write(bytes);
    EXPECT_EQ(text(utf8, 0), U"?☺☻♥☼►◄§↑→←▲▼⌂");
    EXPECT_EQ(text(plain, 0), U"?@!$*><%^>?^v?");
}

TEST_F(ScreenBufferTest, Utf8IsAssembledAndBrokenSequencesShowAsReplacements) {
    const struct {
        const char* bytes;
        std::u32string shown;
    } cases[] = {
        {"caf\xc3\xa9 \xe2\x86\x92 \xf0\x9d\x90\x80", U"café → 𝐀"},
        {"\xe2x", U"\uFFFDx"},                          // cut short by a letter
        {"\xe2\x86\x1b", U"\uFFFD←"},                   // by a control byte
        {"\x80\xff", U"\uFFFD\uFFFD"},                  // no lead byte; no UTF-8 at all
        {"\xc0\xaf", U"\uFFFD\uFFFD"},                  // overlong
        {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD"},        // a surrogate
        {"\xc2\x85|\xe4\xb8\xad|", U"\uFFFD|\uFFFD|"},  // C1 control; double width
    };
    for (const auto& c : cases) {
        utf8.clear();
        utf8.write(c.bytes);
        EXPECT_EQ(text(utf8, 0), c.shown) << c.bytes;
    }

    utf8.clear();
    utf8.write("\xe2\n");
    EXPECT_EQ(text(utf8, 0), U"\uFFFD");
    EXPECT_EQ(cursor(utf8), (Cursor{1, 0}));

    // A clear forgets a character left unfinished.
    utf8.write("\xe2\x86");
    utf8.clear();
    utf8.write("G");
    EXPECT_EQ(text(utf8, 0), U"G");
}

TEST_F(ScreenBufferTest, WithoutUtf8BytesAbove127ShowAsTheLocaleHasThem) {
    std::setlocale(LC_ALL, "C");  // which has none
    ScreenBuffer plain(false);
    plain.write("a\xe2\x86\x92z");
    EXPECT_EQ(text(plain, 0), U"a???z");
}

TEST_F(ScreenBufferTest, ErasingTakesBackTheLastCharacterAcrossALineStart) {
    utf8.write(std::string(CONSOLE_COLS, 'x') + "ab");
    utf8.erase_back();
    utf8.erase_back();
    EXPECT_EQ(cursor(utf8), (Cursor{1, 0}));
    utf8.erase_back();
    EXPECT_EQ(cursor(utf8), (Cursor{0, CONSOLE_COLS - 1}));
    EXPECT_EQ(text(utf8, 0), std::u32string(CONSOLE_COLS - 1, U'x'));

    utf8.clear();
    utf8.write("a\xc3");  // unfinished: nothing on screen to erase
    utf8.erase_back();
    utf8.write("b");
    EXPECT_EQ(text(utf8, 0), U"ab");
    utf8.erase_back();
    utf8.erase_back();
    utf8.erase_back();  // at home: stays
    EXPECT_EQ(cursor(utf8), (Cursor{0, 0}));
}

}  // namespace
}  // namespace skarvel
