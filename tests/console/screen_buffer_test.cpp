#include "console/screen_buffer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>
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

    // A marked cell goes up with its text, and off the console with it.
    utf8.write("x");
    utf8.mark();
    utf8.write("\n");
    ASSERT_TRUE(utf8.marked());
    EXPECT_EQ(utf8.marked()->row, CONSOLE_LINES - 2);
    for (int i = 0; i < CONSOLE_LINES; ++i) utf8.write("\n");
    EXPECT_FALSE(utf8.marked());

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

// The glyph bytes show the pictures the console drew for them; every other
// control byte shows as some visible character of its own cell, never raw.
TEST_F(ScreenBufferTest, ControlBytesShowPicturesOrPlainStandIns) {
    utf8.write("\x01\x02\x03\x0f\x10\x11\x15\x18\x1a\x1e\x1f");
    EXPECT_EQ(text(utf8, 0), U"☺☻♥☼►◄§↑→▲▼");
    ScreenBuffer plain(false);
    plain.write("\x01\x02\x0f\x15\x03");  // player, hit player, bomb, power, life
    const std::u32string items = text(plain, 0);
    EXPECT_EQ(std::set<char32_t>(items.begin(), items.end()).size(), 5u) << "stand-ins alike";
    for (const char32_t c : items) EXPECT_TRUE(c > U' ' && c < 127) << static_cast<int>(c);
    for (int b = 0; b < 128; b = b == 31 ? 127 : b + 1) {  // the control bytes and DEL
        if (b == '\a' || b == '\b' || b == '\t' || b == '\n') continue;
        for (ScreenBuffer* screen : {&utf8, &plain}) {
            screen->clear();
            screen->put(static_cast<unsigned char>(b));
            EXPECT_EQ(screen->col(), 1) << b;
            const char32_t shown = screen->line(0)[0];
            EXPECT_TRUE(shown != static_cast<char32_t>(b) && shown != U' ') << b;
        }
    }
}

TEST_F(ScreenBufferTest, Utf8IsAssembledAndBrokenSequencesShowAsReplacements) {
    const struct {
        const char* bytes;
        std::u32string shown;
    } cases[] = {
        {"caf\xc3\xa9 \xe2\x86\x92 \xf0\x9d\x90\x80 \xc3\xbf", U"café → 𝐀 ÿ"},
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
