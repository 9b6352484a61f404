// scan_int and scan_char over bytes in memory, held against the plain reading
// of the same rules: the value, success, and where the next field starts.
// The first byte chooses the conversions (bit set: " %c", clear: "%d"), used
// in turn until one fails or the bytes run out, as the record readers do.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "records/number_reader.h"

using namespace skarvel;
using namespace skarvel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned pattern = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    MemorySource in{bytes};
    for (unsigned n = 0;; ++n) {
        const bool character = (pattern >> (n % 8) & 1) != 0;
        const Expected want = character ? expect_char(bytes, in.pos) : expect_int(bytes, in.pos);
        bool ok = false;
        std::int32_t value = -7;  // left alone by a failed conversion
        if (character) {
            char c = 'z';
            ok = scan_char(in, c);
            if (ok) value = static_cast<unsigned char>(c);
            check(ok || c == 'z', "a failed \" %c\" changed its field");
        } else {
            ok = scan_int(in, value);
            check(ok || value == -7, "a failed \"%d\" changed its field");
        }
        check(ok == want.ok, "success differs from the plain reading");
        if (ok) check(value == want.value, "value differs from the plain reading");
        check(in.pos == want.end, "the next field starts elsewhere than in the plain reading");
        if (!ok || in.pos >= bytes.size()) return 0;
    }
}
