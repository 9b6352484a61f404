// A Terminal that throws its output away and only counts it, for timing the
// game's own work without a console behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/terminal.h"

namespace skarvel::bench {

class NullTerminal final : public Terminal {
public:
    std::int64_t now = 1'700'000'000;  // the calendar clock, set by the benchmark
    std::size_t bytes = 0;             // bytes written
    std::size_t commands = 0;          // console commands run

    void write(std::string_view text) override { bytes += text.size(); }
    void run_console_command(std::string_view) override { ++commands; }
    int read_key() override { return 'Q'; }
    void sleep_ms(std::uint32_t) override {}
    std::int64_t seconds() override { return now; }

protected:
    bool read_line(std::string&) override { return false; }
};

}  // namespace skarvel::bench
