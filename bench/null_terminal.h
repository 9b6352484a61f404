// A Terminal that shows nothing and only counts what it is given: for timing
// the game's own work and for fuzzing it. Typed lines come from `typed`, one
// per '\n'; every key read is Q.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/terminal.h"

namespace skarvel {

class NullTerminal final : public Terminal {
public:
    std::int64_t now = 1'700'000'000;  // the calendar clock, in seconds
    std::string_view typed;            // what is left to type
    std::size_t bytes = 0;             // bytes written
    std::size_t commands = 0;          // clears and colour changes

    void write(std::string_view text) override { bytes += text.size(); }
    void clear_screen() override { ++commands; }
    void set_colours(Colours) override { ++commands; }
    void flash_colours(Colours) override { ++commands; }
    void size_window() override {}
    void mark_cursor() override {}
    void unmark_cursor() override {}
    void set_status(std::span<const std::string_view>) override {}
    Key read_key() override { return Key::of('Q'); }
    void sleep_ms(std::uint32_t) override {}
    std::int64_t seconds() override { return now; }

    // The next line of `typed`, the last one ended by an Enter of its own.
    bool read_line(std::string& line) override {
        if (typed.empty()) return false;
        const std::size_t end = typed.find('\n');
        const std::size_t n = end == std::string_view::npos ? typed.size() : end + 1;
        line.assign(typed.substr(0, n));
        if (line.back() != '\n') line += '\n';
        typed.remove_prefix(n);
        return true;
    }
};

}  // namespace skarvel
