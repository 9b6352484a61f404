#include "console/console.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace skarvel {
namespace {

// A line of the screen without its trailing blanks.
std::u32string text(const Console& screen, int row) {
    std::u32string line(row < 0 ? screen.history_line(row) : screen.line(row));
    line.erase(line.find_last_not_of(U' ') + 1);
    return line;
}

// The locale decides which characters show in one column.
class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
    // Without UTF-8, control bytes show as the stand-ins the game gives: here A for 0, B for 1...
    static StandIns letters() {
        StandIns stand_ins{};
        for (std::size_t b = 0; b < stand_ins.size(); ++b) stand_ins[b] = static_cast<char>('A' + b);
        return stand_ins;
    }
    Console utf8{true};
    Console plain{false, letters()};
};

// What bytes show as, on a line of their own, with UTF-8 and without.
TEST_F(ConsoleTest, BytesShowAsTheConsoleShowsThem) {
    const struct {
        const char* bytes;
        std::u32string utf8, plain;
    } cases[] = {
        // Control bytes and DEL show as a character of their own cell, never raw.
        {"\x01\x02\x03\x0f\x10\x11\x15\x18\x1a\x1e\x1f", U"☺☻♥☼►◄§↑→▲▼", U"BCDPQRVY[_`"},
        {"<\x1b]2;t\x7f\x05\x0b\x0c\x0d\x1c>", U"<←]2;t⌂♣♂♀♪∟>", U"<\\]2;t?FLMN]>"},
        {"a\tb\tc", U"a       b       c", U"a       b       c"},  // 8-column stops
        {"x\by\b\b\b\bz", U"z", U"z"},                            // back, never past column 0
        {"bell\a!", U"bell!", U"bell!"},                          // the bell shows nothing
        {"caf\xc3\xa9 \xe2\x86\x92 \xf0\x9d\x90\x80 \xc3\xbf", U"café → 𝐀 ÿ", U"caf?? ??? ???? ??"},
        {"\xe2x", U"\uFFFDx", U"?x"},                     // cut short by a letter
        {"\xe2\x86\x1b", U"\uFFFD←", U"??\\"},            // by a control byte
        {"ab\xe2\x86", U"ab", U"ab??"},                   // unfinished: not shown, and forgotten at the next clear
        {"\x80\xff", U"\uFFFD\uFFFD", U"??"},             // no lead byte; no UTF-8 at all
        {"\xc0\xaf", U"\uFFFD\uFFFD", U"??"},             // overlong
        {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD", U"???"},  // a surrogate
        {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD", U"????"},         // past U+10FFFF
        {"\xf0\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD", U"????"},         // overlong
        {"\xf1\x80\x80\x80", U"\uFFFD", U"????"},                           // U+40000, no character
        {"\xe0\xa4\x85\xf4\x8f\xbf\xbd", U"\u0905\U0010FFFD", U"???????"},  // lowest three-byte lead; U+10FFFD
        {"\xc2\x85|\xe4\xb8\xad|", U"\uFFFD|\uFFFD|", U"??|???|"},          // C1 control; double width
    };
    std::setlocale(LC_ALL, "C");  // whose bytes above 127 are no characters
    for (const auto& c : cases) {
        plain.clear();
        plain.write(c.bytes);
        EXPECT_EQ(text(plain, 0), c.plain) << c.bytes;
    }
    std::setlocale(LC_ALL, "C.UTF-8");
    for (const auto& c : cases) {
        utf8.clear();
        utf8.write(c.bytes);
        EXPECT_EQ(text(utf8, 0), c.utf8) << c.bytes;
    }
    EXPECT_TRUE(utf8.consume_bell());  // once, for the bell row
    EXPECT_FALSE(utf8.consume_bell());
}

TEST_F(ConsoleTest, LinesWrapScrollAndTheScrolledOffAreKept) {
    // A tab from the last stop blanks to the end of the line and wraps.
    utf8.write(std::string(145, '-') + "\t!");
    EXPECT_EQ(text(utf8, 1), U"!");
    utf8.clear();
    utf8.write(std::string(CONSOLE_COLS, 'a'));
    EXPECT_EQ(utf8.cursor(), (Position{1, 0}));
    utf8.write("\b");  // the wrap is done: a backspace cannot undo it
    EXPECT_EQ(utf8.cursor(), (Position{1, 0}));

    utf8.clear();
    for (char c = 'A'; c < 'A' + CONSOLE_ROWS + 1; ++c) utf8.write(std::string(1, c) + "\n");
    EXPECT_EQ(text(utf8, 0), U"C");  // A and B scrolled off, kept newest last
    EXPECT_EQ(utf8.history_rows(), 2);
    EXPECT_EQ(text(utf8, -1), U"B");
    EXPECT_EQ(text(utf8, -2), U"A");
    EXPECT_EQ(utf8.cursor(), (Position{CONSOLE_ROWS - 1, 0}));

    // A marked cell goes up with its text, and off the console with it.
    utf8.write("x");
    utf8.mark();
    utf8.write("\n");
    ASSERT_TRUE(utf8.marked());
    EXPECT_EQ(utf8.marked()->row, CONSOLE_ROWS - 2);
    for (int i = 0; i < CONSOLE_ROWS - 2; ++i) utf8.write("\n");
    ASSERT_TRUE(utf8.marked());
    EXPECT_EQ(utf8.marked()->row, 0);
    utf8.write("\n");
    EXPECT_FALSE(utf8.marked());
    plain.mark();
    plain.clear();  // a clear drops the mark
    EXPECT_FALSE(plain.marked());

    for (int i = 0; i < Console::HISTORY_ROWS + 5; ++i) utf8.write(std::to_string(i) + "\n");
    EXPECT_EQ(utf8.history_rows(), Console::HISTORY_ROWS);
    EXPECT_EQ(text(utf8, -1), std::u32string(U"165"));  // 204 is the last line written, 39 lines on
    utf8.clear();
    EXPECT_EQ(utf8.history_rows(), 0);
}

// Only what changed since forget_changes is handed on, cell by cell: a
// screen cleared and drawn again the same changes nothing.
TEST_F(ConsoleTest, NotesWhatChangedSinceItWasLastShown) {
    using Spans = std::vector<std::pair<int, int>>;
    const auto changed = [this] {
        Spans spans;
        for (int row = 0; row < 4; ++row) spans.emplace_back(utf8.changed(row).first, utf8.changed(row).end);
        return spans;
    };
    const Spans none(4, {CONSOLE_COLS, 0});
    utf8.write("abc\n\n12345");
    EXPECT_EQ(changed(), (Spans{{0, 3}, none[1], {0, 5}, none[3]}));
    EXPECT_TRUE(utf8.lines_changed());
    utf8.forget_changes();
    EXPECT_FALSE(utf8.lines_changed());

    utf8.clear();
    utf8.write("abc\n\n12345");
    EXPECT_EQ(changed(), none);
    utf8.clear();
    utf8.write("aXc\n\n1");
    EXPECT_EQ(changed(), (Spans{{1, 2}, none[1], {1, 5}, none[3]}));  // X, and the old 2345 blanked
    EXPECT_EQ(text(utf8, 2), U"1");
    utf8.forget_changes();
    utf8.write("\t");
    utf8.erase_back();
    EXPECT_EQ(changed(), none);  // blanks over blanks
    utf8.write("\nab!d");
    utf8.forget_changes();
    utf8.write("\b\b?\b\bZ");  // right to left: the span holds both
    EXPECT_EQ(changed()[3], std::make_pair(1, 3));

    EXPECT_FALSE(utf8.has_status());
    const std::string_view forms[] = {"Score: 1 \x0f", "S1 \x0f", "S1"};
    utf8.set_status(forms);
    EXPECT_TRUE(utf8.status_changed());
    EXPECT_EQ(utf8.status(CONSOLE_COLS), U"Score: 1 ☼");  // the longest that fits
    EXPECT_EQ(utf8.status(4), U"S1 ☼");
    EXPECT_EQ(utf8.status(1), U"S1");  // none fits: the shortest
    utf8.forget_changes();
    utf8.clear();  // the status goes with the screen
    EXPECT_TRUE(utf8.status_changed());
    EXPECT_FALSE(utf8.has_status());

    utf8.forget_changes();
    for (int i = 0; i < CONSOLE_ROWS; ++i) utf8.write("\n");  // a scroll moves every line
    EXPECT_EQ(changed(), Spans(4, {0, CONSOLE_COLS}));
}

TEST_F(ConsoleTest, ErasingTakesBackTheLastCharacterAcrossALineStart) {
    utf8.write(std::string(CONSOLE_COLS, 'x') + "ab");
    utf8.erase_back();
    utf8.erase_back();
    EXPECT_EQ(utf8.cursor(), (Position{1, 0}));
    utf8.erase_back();
    EXPECT_EQ(utf8.cursor(), (Position{0, CONSOLE_COLS - 1}));
    EXPECT_EQ(text(utf8, 0), std::u32string(CONSOLE_COLS - 1, U'x'));

    utf8.clear();
    utf8.write("a\xc3");  // unfinished: nothing on screen to erase
    EXPECT_TRUE(utf8.character_unfinished());
    utf8.erase_back();
    utf8.write("b");
    EXPECT_EQ(text(utf8, 0), U"ab");
    utf8.erase_back();
    utf8.erase_back();
    utf8.erase_back();  // at home: stays
    EXPECT_EQ(utf8.cursor(), (Position{0, 0}));
}

}  // namespace
}  // namespace skarvel
