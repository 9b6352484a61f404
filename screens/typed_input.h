// The two numbers of the map-size screen, typed as lines: read as "%d" reads
// them, and the rest of each line thrown away. The screen keeps one reader
// for its visit; what is typed ahead on a line waits in it for the next read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "console/terminal.h"
#include "records/number_reader.h"

namespace skarvel {

class TypedInput {
public:
    explicit TypedInput(Terminal& term) : term_(term) {}

    // Reads a decimal integer as "%d" does: blanks and empty lines are
    // skipped, and the first byte after the number stays unread. False, with
    // `value` left alone, when no number begins there.
    bool read_int(std::int32_t& value) { return scan_int(*this, value); }

    // Throws away what is left of the typed line, its line end included.
    void discard_line() {
        for (int c = get(); c != '\n' && c != EOF; c = get()) {
        }
    }

    // The next typed byte, a new line read when the last is used up; EOF at
    // the end of input.
    int get() {
        if (pos_ == line_.size()) {
            line_.clear();
            pos_ = 0;
            if (!term_.read_line(line_)) line_.clear();
            if (line_.empty()) return EOF;
        }
        return static_cast<unsigned char>(line_[pos_++]);
    }
    // Puts back the byte read last, for the next get.
    void unget() {
        if (pos_ > 0) --pos_;
    }

private:
    Terminal& term_;
    std::string line_;     // the typed line being read
    std::size_t pos_ = 0;  // its next byte
};

}  // namespace skarvel
