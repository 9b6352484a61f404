// The signals that end a run: Ctrl-C, Ctrl-\, SIGTERM and SIGHUP. While a
// guard lives, each of them only sets a flag, which the terminal's waits turn
// into the end of the run (RunEnded); so the terminal is restored by ordinary
// unwinding, and only then does the signal's own action end the process.
#pragma once

#include <signal.h>

#include <array>

namespace skarvel {

class EndSignalGuard {
public:
    EndSignalGuard();   // installs the handlers
    ~EndSignalGuard();  // puts back the ones there were
    EndSignalGuard(const EndSignalGuard&) = delete;
    EndSignalGuard& operator=(const EndSignalGuard&) = delete;

    // Ends the run by throwing RunEnded if one of the signals has come.
    static void end_run_if_signalled();

private:
    static constexpr std::array<int, 4> SIGNALS = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
    std::array<struct sigaction, SIGNALS.size()> previous_{};  // handlers to give back
};

}  // namespace skarvel
