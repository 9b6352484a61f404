// The "%d" and " %c" reader shared by the record files and the typed numbers
// of the map-size screen: the two conversions of scanf, without its undefined
// behaviour on numbers too large for 32 bits. A Source gives bytes with
// `int get()` (EOF at the end) and puts the last one back with `void unget()`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

namespace skarvel {

// The white-space bytes that scanf skips before a field.
constexpr bool is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Bytes in memory as a Source: a record's text read whole.
struct TextSource {
    std::string_view text;
    std::size_t pos = 0;  // the next byte
    int get() { return pos < text.size() ? static_cast<unsigned char>(text[pos++]) : EOF; }
    void unget() {
        if (pos > 0) --pos;
    }
};

// Skips white space and gives the first other byte (EOF at the end).
template <typename Source>
int skip_space(Source& in) {
    int c = in.get();
    while (c != EOF && is_space(c)) c = in.get();
    return c;
}

// Skips white space, takes an optional sign and decimal digits, and leaves the
// first other byte unread. A number beyond 32 bits gives the nearest 32-bit
// value. Returns false, leaving `out` alone, when no number begins here.
template <typename Source>
bool scan_int(Source& in, std::int32_t& out) {
    int c = skip_space(in);
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = in.get();
    if (c == EOF || c < '0' || c > '9') {
        if (c != EOF) in.unget();
        return false;
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; c != EOF && c >= '0' && c <= '9'; c = in.get()) {
        if (value < limit) value = value * 10 + (c - '0');
    }
    if (c != EOF) in.unget();
    if (value > limit) value = limit;
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    out = static_cast<std::int32_t>(value);
    return true;
}

// Skips white space and takes exactly one byte, whatever it is.
template <typename Source>
bool scan_char(Source& in, char& out) {
    const int c = skip_space(in);
    if (c == EOF) return false;
    out = static_cast<char>(c);
    return true;
}

}  // namespace skarvel
