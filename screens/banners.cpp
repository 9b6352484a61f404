#include "screens/screens.h"

namespace skarvel {

namespace {

constexpr std::string_view WELCOME = "\t\tWelcome to KELDRY'S SKARVEL!\a";
constexpr std::string_view FAREWELL = "Thanks for your playing!\a";

}  // namespace

void type_banner(Terminal& term, std::string_view text, std::int32_t wait_ms) {
    const auto pause = static_cast<std::uint32_t>(wait_ms < 0 ? 0 : wait_ms);
    for (const char c : text) {
        term.putchar(c);
        term.sleep_ms(pause);
    }
    term.sleep_ms(500);
    // Back over the text byte by byte, then blank it out at the typing pace.
    for (std::size_t i = 0; i < text.size(); ++i) term.putchar('\b');
    for (std::size_t i = 0; i < text.size(); ++i) {
        term.putchar(' ');
        term.sleep_ms(pause);
    }
}

void say_welcome(Terminal& term) {
    term.clear_screen();
    type_banner(term, WELCOME, 20);
}

void say_farewell(Terminal& term) {
    term.clear_screen();
    term.putchar('\t');
    type_banner(term, FAREWELL, 30);
    term.clear_screen();
}

}  // namespace skarvel
