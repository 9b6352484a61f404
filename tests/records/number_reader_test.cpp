#include "records/number_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace skarvel {
namespace {

constexpr std::int32_t MAX = INT32_MAX;
constexpr std::int32_t MIN = INT32_MIN;

struct StringSource {
    std::string text;
    std::size_t pos = 0;
    int get() { return pos < text.size() ? static_cast<unsigned char>(text[pos++]) : EOF; }
    void unget() {
        ASSERT_GT(pos, 0u) << "nothing to put back";
        --pos;
    }
    std::string rest() const { return text.substr(pos); }
};

TEST(NumberReader, ScanIntReadsLikePercentD) {
    const struct {
        const char* input;
        bool ok;
        std::int32_t value;  // 99 when nothing is read
        const char* rest;    // what the next field sees
    } cases[] = {
        {"17", true, 17, ""},
        {" \t\r\n\v\f-5 2", true, -5, " 2"},
        {"+8", true, 8, ""},
        {"007\n", true, 7, "\n"},
        {"12abc", true, 12, "abc"},
        {"P", false, 99, "P"},
        {"", false, 99, ""},
        {" \n ", false, 99, ""},
        {"-x", false, 99, "x"},
        {"2147483647", true, MAX, ""},
        {"2147483648", true, MAX, ""},
        {"-2147483648", true, MIN, ""},
        {"-2147483649", true, MIN, ""},
        {"99999999999999999999999 4", true, MAX, " 4"},
        {"18446744073709551621", true, MAX, ""},  // 2^64 + 5
        {"-99999999999999999999999", true, MIN, ""},
    };
    for (const auto& c : cases) {
        StringSource in{c.input};
        std::int32_t value = 99;
        EXPECT_EQ(scan_int(in, value), c.ok) << '"' << c.input << '"';
        EXPECT_EQ(value, c.value) << '"' << c.input << '"';
        EXPECT_EQ(in.rest(), c.rest) << '"' << c.input << '"';
    }
}

}  // namespace
}  // namespace skarvel
