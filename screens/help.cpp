#include <cstdio>
#include <memory>

#include "console/scan.h"
#include "console/services.h"
#include "screens/data_files.h"
#include "screens/screens.h"

namespace skarvel {

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The 32 printable 7-bit characters that are neither letters, digits nor the blank.
constexpr bool is_punct(int c) {
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') ||
           (c >= '{' && c <= '~');
}

// Letters and digits are typed 10 ms apart; blanks, line ends and punctuation
// come at once. A UTF-8 character pauses once, after its first byte.
constexpr bool pauses_after(int c) {
    const bool continuation = c >= 0x80 && c < 0xC0;
    return !is_punct(c) && !is_space(c) && !continuation;
}

// The next byte of the text with Windows line ends read as Unix ones, as a
// text-mode read gives them.
int next_text_byte(std::FILE* file) {
    const int c = std::getc(file);
    if (c != '\r') return c;
    const int after = std::getc(file);
    if (after == '\n') return '\n';
    if (after != EOF) std::ungetc(after, file);
    return c;
}

}  // namespace

int help(const GameState& g, Terminal& term) {
    term.clear_screen();
    term.printf("Loading...");
    const std::string path = find_help_file(g);
    const std::unique_ptr<std::FILE, CloseFile> file(path.empty() ? nullptr : std::fopen(path.c_str(), "r"));
    term.clear_screen();
    term.printf("\tHelp:\n");
    if (!file) {
        term.printf("\t Error: Cannot find the file \"%s\"! \a", F_HEL);
        term.sleep_ms(2000);
        return 0;
    }
    for (int c = next_text_byte(file.get()); c != EOF; c = next_text_byte(file.get())) {
        term.putchar(static_cast<char>(c));
        if (pauses_after(c)) term.sleep_ms(10);
    }
    term.printf("\n\n\t\t%c Back (B)\n", g.glyphs.p);
    for (;;) {
        switch (read_upper(term)) {
            case 'P': return 1;
            case 'Q': return -1;
            case 'B': return 0;
            default: break;
        }
    }
}

}  // namespace skarvel
