// What the fuzz targets share: bytes in memory as a scanf source, and a plain
// second reading of the "%d" and " %c" rules to hold the game's reader
// against.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace skarvel::fuzz {

// Stops the run with a message; libFuzzer keeps the input that did it.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

// A byte source over memory, as scan_int and scan_char want it. It checks
// that the reader only puts back the one byte it has just taken.
struct MemorySource {
    std::string_view bytes;
    std::size_t pos = 0;
    bool may_unget = false;

    int get() {
        if (pos >= bytes.size()) {
            may_unget = false;
            return EOF;
        }
        may_unget = true;
        return static_cast<unsigned char>(bytes[pos++]);
    }
    void unget() {
        check(may_unget, "unget without a byte just taken");
        may_unget = false;
        --pos;
    }
};

// The result of one conversion read the plain way.
struct Expected {
    bool ok = false;
    std::int32_t value = 0;  // the number, or the byte of a character field
    std::size_t end = 0;     // where the next conversion starts
};

constexpr bool plain_space(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');  // blank, \t \n \v \f \r
}

// "%d": blanks, a sign, digits; the value held to 32 bits. Without a digit
// the conversion fails, the sign (if any) taken and the byte after it not.
inline Expected expect_int(std::string_view s, std::size_t p) {
    while (p < s.size() && plain_space(static_cast<unsigned char>(s[p]))) ++p;
    bool negative = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
    if (p >= s.size() || s[p] < '0' || s[p] > '9') return {false, 0, p};
    constexpr std::int64_t big = std::int64_t{1} << 40;  // past every 32-bit value
    std::int64_t v = 0;
    for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p) v = std::min(v * 10 + (s[p] - '0'), big);
    if (negative) v = -v;
    v = std::max<std::int64_t>(v, std::numeric_limits<std::int32_t>::min());
    v = std::min<std::int64_t>(v, std::numeric_limits<std::int32_t>::max());
    return {true, static_cast<std::int32_t>(v), p};
}

// " %c": blanks, then any one byte.
inline Expected expect_char(std::string_view s, std::size_t p) {
    while (p < s.size() && plain_space(static_cast<unsigned char>(s[p]))) ++p;
    if (p >= s.size()) return {false, 0, p};
    return {true, static_cast<unsigned char>(s[p]), p + 1};
}

}  // namespace skarvel::fuzz
