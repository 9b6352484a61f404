// The two numbers of the map-size screen, typed as lines: read as "%d" reads
// them, and the rest of each line thrown away.
#pragma once

#include <cstdint>

#include "console/terminal.h"
#include "records/number_reader.h"

namespace skarvel {

// Line input as a byte source for the number reader.
struct TypedInput {
    Terminal& term;
    int get() { return term.read_line_char(); }
    void unget() { term.unread_line_char(); }
};

// Reads a decimal integer as "%d" does: blanks and empty lines are skipped,
// and the first byte after the number stays unread. False, with `value`
// left alone, when no number begins there.
inline bool read_typed_int(Terminal& term, std::int32_t& value) {
    TypedInput in{term};
    return scan_int(in, value);
}

// Throws away what is left of the typed line, its line end included.
inline void discard_typed_line(Terminal& term) {
    for (int c = term.read_line_char(); c != '\n' && c != EOF; c = term.read_line_char()) {
    }
}

}  // namespace skarvel
