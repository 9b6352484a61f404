#include <cstdio>
#include <locale>

#include "core/keys.h"
#include "records/record_file.h"
#include "screens/screens.h"

namespace skarvel {

namespace {

// The first of the places that holds a help text as a regular file.
FileHandle open_help_file(const std::vector<std::filesystem::path>& places) {
    for (const std::filesystem::path& place : places) {
        if (FileHandle file = open_regular_file(place)) return file;
    }
    return nullptr;
}

// Letters and digits are typed 10 ms apart; blanks, line ends and
// punctuation (of the "C" locale, whatever the player's is) come at once. A
// UTF-8 character pauses once, after its first byte.
bool pauses_after(int c) {
    const std::locale& c_locale = std::locale::classic();
    const auto byte = static_cast<char>(c);
    const bool continuation = c >= 0x80 && c < 0xC0;
    return !std::ispunct(byte, c_locale) && !std::isspace(byte, c_locale) && !continuation;
}

// The next byte of the text with Windows line ends read as Unix ones, as a
// text-mode read gives them.
int next_text_byte(std::FILE* file) {
    const int c = std::getc(file);
    if (c != '\r') return c;
    const int after = std::getc(file);
    if (after == '\n') return '\n';
    if (after != EOF) (void)std::ungetc(after, file);  // the byte just read always goes back
    return c;
}

}  // namespace

void run_help_screen(Session& s) {
    Terminal& term = s.term;
    term.clear_screen();
    term.printf("Loading...");
    const FileHandle file = open_help_file(s.help_files);
    term.clear_screen();
    term.printf("\tHelp:\n");
    if (!file) {
        term.printf("\t Error: Cannot find the file \"%s\"! \a", HELP_FILE);
        term.sleep_ms(2000);
        return;
    }
    for (int c = next_text_byte(file.get()); c != EOF; c = next_text_byte(file.get())) {
        term.putchar(static_cast<char>(c));
        if (pauses_after(c)) term.sleep_ms(10);
    }
    term.printf("\n\n\t\t%c Back (B)\n", s.game.glyphs().pointer);
    wait_for_letter(term, "PQB");
}

}  // namespace skarvel
