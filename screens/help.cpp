#include <cstddef>
#include <cstdio>
#include <locale>
#include <string>
#include <string_view>

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

// The most of a help text that is read: the one shipped is under 1 KiB, and
// this much takes about a minute to type.
constexpr std::size_t HELP_LIMIT = 8192;

// The bytes of a UTF-8 character that begins with `lead`, as the console
// reads them; 1 for a byte that begins none.
std::size_t utf8_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

// Where `text` ends without the UTF-8 character it stops in the middle of.
std::size_t end_of_whole_characters(std::string_view text) {
    // The last lead byte lies at most three continuation bytes back.
    for (std::size_t at = text.size(); at > 0 && text.size() - at < 4;) {
        const auto byte = static_cast<unsigned char>(text[--at]);
        if (byte < 0x80 || byte >= 0xC0) return text.size() - at < utf8_length(byte) ? at : text.size();
    }
    return text.size();
}

// The help text as shown: HELP_LIMIT bytes at most, cut before a UTF-8
// character the bound would split; and whether the file holds more.
struct HelpText {
    std::string bytes;
    bool cut = false;
};

HelpText read_help(std::FILE* file) {
    HelpText help;
    help.bytes.resize(HELP_LIMIT + 1);
    help.bytes.resize(std::fread(help.bytes.data(), 1, help.bytes.size(), file));
    if (help.bytes.size() > HELP_LIMIT) {
        help.cut = true;
        help.bytes.resize(end_of_whole_characters(std::string_view(help.bytes).substr(0, HELP_LIMIT)));
    }
    return help;
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
    const HelpText help = read_help(file.get());
    for (std::size_t i = 0; i < help.bytes.size(); ++i) {
        // Windows line ends read as Unix ones, as a text-mode read gives them.
        if (help.bytes[i] == '\r' && i + 1 < help.bytes.size() && help.bytes[i + 1] == '\n') ++i;
        const auto c = static_cast<unsigned char>(help.bytes[i]);
        term.putchar(static_cast<char>(c));
        if (pauses_after(c)) term.sleep_ms(10);
    }
    if (help.cut) term.printf("\n\t... (%s is longer than 8 KiB: the rest is not shown)", HELP_FILE);
    term.printf("\n\n\t\t%c Back (B)\n", s.game.glyphs().bullet);
    wait_for_letter(term, "PQB");
}

}  // namespace skarvel
