// Arbitrary bytes written through the ncursesw backend onto a 150x40 pseudo
// terminal (xterm-256color), checking that no control byte of the text ever
// reaches the terminal raw.
//
// curses sends escape sequences and control bytes of its own, so the output
// cannot simply be searched for them. Instead every input is shown twice
// from the same blank screen: once as it is, and once with each of its
// control bytes (all below 32 but the bell, backspace, tab and line end, and
// DEL) replaced by the text of the stand-in that byte shows as. The
// terminal must receive exactly the same bytes both times: a control byte
// that leaked, or showed as anything but its stand-in, would make them
// differ. The stand-ins are found at start-up, each shown alone; each must be
// one visible character.
//
// Besides, in a UTF-8 locale the output must be valid UTF-8 without C1
// controls (U+0080..U+009F, which some terminals obey), and in any other
// locale plain 7-bit text. Built with FUZZ_LOCALE="C" for the second case.
#include <langinfo.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "console/console.h"  // DEL
#include "console/curses_terminal.h"
#include "fuzz/fuzz_support.h"

#ifndef FUZZ_LOCALE
#define FUZZ_LOCALE "C.UTF-8"
#endif

using namespace skarvel;
using namespace skarvel::fuzz;

namespace {

constexpr unsigned char ESC = 0x1b;

// The bytes the backend shows as a stand-in rather than acting on them.
bool has_stand_in(unsigned char b) { return (b < 32 && b != '\a' && b != '\b' && b != '\t' && b != '\n') || b == DEL; }

// The bytes as a C string literal would write them, for reporting a failure.
std::string escaped(std::string_view s) {
    std::string out;
    char hex[8];
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 32 && b < 127 && b != '\\') {
            out += c;
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        }
    }
    return out;
}

// The terminal side of the pseudo terminal, read by a thread of its own so
// that curses never waits for room to write.
class Screen {
public:
    Screen() {
        std::setlocale(LC_ALL, FUZZ_LOCALE);
        winsize size{};
        size.ws_row = CONSOLE_ROWS;
        size.ws_col = CONSOLE_COLS;
        check(::openpty(&master_, &slave_, nullptr, nullptr, &size) == 0, "openpty");
        reader_ = std::thread([this] { read_forever(); });
        reader_.detach();  // lives as long as the process
        file_ = ::fdopen(slave_, "r+");
        std::string why;
        term = open_curses_terminal("xterm-256color", file_, file_, why);
        if (!term) fail(("open_curses_terminal: " + why).c_str());
    }

    std::unique_ptr<Terminal> term;

    // Everything the terminal has received since the last call: a marker
    // written behind curses' output comes back after all of it.
    std::string received() {
        char marker[40];
        const int n = std::snprintf(marker, sizeof marker, "\xff\xfe<fuzz marker %u>\xfe\xff", ++markers_);
        for (int done = 0; done < n;) {  // the fuzzer's timer may cut a write short
            const ssize_t w = ::write(slave_, marker + done, static_cast<std::size_t>(n - done));
            check(w > 0 || errno == EINTR, "cannot write the marker");
            if (w > 0) done += static_cast<int>(w);
        }
        std::unique_lock lock(mutex_);
        std::size_t at = std::string::npos;
        const bool came = arrived_.wait_for(lock, std::chrono::seconds(10), [&] {
            at = got_.find(marker, 0, static_cast<std::size_t>(n));
            return at != std::string::npos;
        });
        check(came, "the terminal output never arrived");
        std::string out = got_.substr(0, at);
        got_.erase(0, at + static_cast<std::size_t>(n));
        return out;
    }

    // A blank screen with the cursor home, shown; what it took is thrown away.
    void reset() {
        term->clear_screen();
        term->sleep_ms(0);
        received();
    }

    // The visible text, blanks left out, that the terminal receives for `bytes`
    // written right after a clear of the screen as it stands.
    std::string after_clear(std::string_view bytes);

    // What the terminal receives for `bytes` written onto a blank screen.
    std::string show(std::string_view bytes) {
        reset();
        term->write(bytes);
        term->sleep_ms(0);
        return received();
    }

private:
    void read_forever() {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) return;
            {
                const std::lock_guard lock(mutex_);
                got_.append(buffer, static_cast<std::size_t>(n));
            }
            arrived_.notify_all();
        }
    }

    int master_ = -1;
    int slave_ = -1;
    std::FILE* file_ = nullptr;
    unsigned markers_ = 0;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::string got_;
};

// The length of the UTF-8 sequence at s[i], 0 if it is not a valid one.
std::size_t utf8_length(std::string_view s, std::size_t i, std::uint32_t& code) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    std::uint32_t min = 0;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        n = 2, code = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, code = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, code = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        code = code << 6 | (c & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

// The printable text in terminal output: escape sequences and control bytes
// taken out.
std::string visible_text(std::string_view out) {
    std::string text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b == ESC && i + 1 < out.size()) {
            const char kind = out[++i];
            if (kind == '[') {  // CSI: parameters, intermediates, a final byte
                while (i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) < 0x40) ++i;
                ++i;
            } else if (kind == ']') {  // OSC: up to BEL or ESC backslash
                while (i + 1 < out.size() && out[i + 1] != '\a' && out[i + 1] != '\x1b') ++i;
                ++i;
                if (i < out.size() && out[i] == '\x1b') ++i;
            } else {  // ESC, intermediates, a final byte
                while (i < out.size() && static_cast<unsigned char>(out[i]) >= 0x20 &&
                       static_cast<unsigned char>(out[i]) < 0x30) {
                    ++i;
                }
            }
        } else if (b >= 0x20 && b != DEL) {
            text += out[i];
        }
    }
    return text;
}

// The output holds nothing a terminal could take for a control of the text.
void check_encoding(std::string_view out, bool utf8) {
    for (std::size_t i = 0; i < out.size();) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (!utf8) {
            check(b < 0x80, "a byte above 127 reached a terminal without UTF-8");
            ++i;
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t n = utf8_length(out, i, code);
        if (n == 0) fail(("invalid UTF-8 reached the terminal: " + escaped(out.substr(i, 8))).c_str());
        check(code < 0x80 || code > 0x9F, "a C1 control reached the terminal");
        i += n;
    }
}

std::string Screen::after_clear(std::string_view bytes) {
    term->clear_screen();
    term->write(bytes);
    term->sleep_ms(0);
    std::string text = visible_text(received());
    std::erase(text, ' ');
    return text;
}

struct Setup {
    Screen screen;
    bool utf8 = false;
    std::string stand_in[256];  // the text each control byte shows as

    Setup() {
        const std::string_view codeset = nl_langinfo(CODESET);
        utf8 = codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
        for (int b = 0; b < 256; ++b) {
            if (!has_stand_in(static_cast<unsigned char>(b))) continue;
            const char byte = static_cast<char>(b);
            const std::string out = screen.show(std::string_view(&byte, 1));
            check_encoding(out, utf8);
            std::string text = visible_text(out);
            std::uint32_t code = 0;
            const bool one = !text.empty() && (utf8 ? utf8_length(text, 0, code) == text.size() : text.size() == 1);
            if (!one) {
                std::fprintf(stderr, "byte %d shows as \"%s\" (output \"%s\")\n", b, escaped(text).c_str(),
                             escaped(out).c_str());
                fail("a control byte shows as no single visible character");
            }
            stand_in[b] = text;
        }
        if (!utf8) return;
        // The glyph bytes of display mode 1 show their code-page-437 pictures.
        const std::pair<int, const char*> pictures[] = {
            {1, "\u263A"},  {2, "\u263B"},  {3, "\u2665"},  {15, "\u263C"}, {16, "\u25BA"}, {17, "\u25C4"},
            {21, "\u00A7"}, {24, "\u2191"}, {26, "\u2192"}, {30, "\u25B2"}, {31, "\u25BC"},
        };
        for (const auto& [byte, picture] : pictures)
            check(stand_in[byte] == picture, "a glyph byte shows a wrong picture");
    }
};

Setup* setup = nullptr;

// The text with each control byte replaced by its stand-in.
std::string with_stand_ins(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += has_stand_in(b) ? setup->stand_in[b] : std::string(1, c);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setup = new Setup;  // kept for the whole run, as the game keeps its terminal
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string replaced = with_stand_ins(text);
    const std::string as_written = setup->screen.show(text);
    check_encoding(as_written, setup->utf8);
    // Whatever the text left unfinished, a clear starts the next screen afresh.
    // (The letter must be one the screen does not show yet: curses sends
    // only what changes.)
    const std::string shown = visible_text(as_written);
    for (const char letter : std::string_view("GHJKLNQRVWXZ")) {
        if (shown.find(letter) != std::string::npos) continue;
        const std::string one(1, letter);
        if (setup->screen.after_clear(one) != one) {
            std::fprintf(stderr, "input: \"%s\"\n", escaped(text).c_str());
            fail("the first character written after a clear joins an unfinished UTF-8 character of the screen before");
        }
        break;
    }
    if (replaced != text) {
        const std::string as_replaced = setup->screen.show(replaced);
        if (as_written != as_replaced) {
            std::fprintf(stderr, "input:            \"%s\"\nterminal got:     \"%s\"\nwith stand-ins:   \"%s\"\n",
                         escaped(text).c_str(), escaped(as_written).c_str(), escaped(as_replaced).c_str());
            fail("a control byte reached the terminal otherwise than as its stand-in");
        }
    }
    return 0;
}
