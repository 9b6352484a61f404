// The "%d" reader of typed lines (TypedInput::read_int) and the discarding
// of a line's rest (discard_line), as the map-size screen uses them, over
// lines handed out by a Terminal. Splitting the input into typed lines must
// change nothing: every result must be that of the plain reading of the same
// bytes in one piece. The first byte chooses the calls (bit set: discard,
// clear: read).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bench/null_terminal.h"
#include "fuzz/fuzz_support.h"
#include "screens/typed_input.h"

using namespace skarvel;
using namespace skarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned pattern = data[0];
    std::string all(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!all.empty() && all.back() != '\n') all += '\n';  // Enter ends the last line
    NullTerminal term;
    term.typed = all;  // read_line hands these out line by line
    TypedInput typed(term);
    std::size_t pos = 0;  // where the plain reading stands
    for (unsigned n = 0; n < 4 * size + 8; ++n) {
        if ((pattern >> (n % 8) & 1) != 0) {
            typed.discard_line();
            const std::size_t end = all.find('\n', pos);
            pos = end == std::string::npos ? all.size() : end + 1;
        } else {
            std::int32_t value = -7;
            const bool ok = typed.read_int(value);
            const Expected want = expect_int(all, pos);
            check(ok == want.ok, "the reader succeeds where the plain reading does not, or fails where it succeeds");
            check(ok ? value == want.value : value == -7, "the reader gives another value than the plain reading");
            pos = want.end;
            if (pos < all.size()) {
                // The byte it stopped at, after a number or as no number, stays unread.
                check(typed.get() == static_cast<unsigned char>(all[pos]), "the reader loses the byte it stopped at");
                ++pos;
            }
        }
        if (pos >= all.size()) {
            std::int32_t value = -7;
            check(!typed.read_int(value) && value == -7, "the reader finds a number after the last line");
            return 0;
        }
    }
    fail("the calls never reached the end of the input");
}
