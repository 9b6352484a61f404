// The signals that end a run (Ctrl-C, Ctrl-\, SIGTERM and SIGHUP) and Ctrl-Z
// (SIGTSTP). While a guard lives, each of them only sets a flag, which the
// terminal's waits act on: an end signal becomes the end of the run
// (RunEnded), so the terminal is restored by ordinary unwinding and only then
// does the signal's own action end the process; Ctrl-Z becomes a stop of the
// process with the terminal given back. Installed before curses starts, so
// that curses leaves all of them to the guard.
#pragma once

#include <signal.h>

#include <array>

namespace skarvel {

class EndSignalGuard {
public:
    EndSignalGuard();   // installs the handlers (Ctrl-Z's only where it is not ignored)
    ~EndSignalGuard();  // puts back the ones there were
    EndSignalGuard(const EndSignalGuard&) = delete;
    EndSignalGuard& operator=(const EndSignalGuard&) = delete;

    // Ends the run by throwing RunEnded if one of the end signals has come.
    static void end_run_if_signalled();

    // True once for a Ctrl-Z that has come since it was last asked.
    static bool take_stop_request();
    // Stops the process as Ctrl-Z does by default; returns when it is
    // continued, with the guard's handler back. An end signal that came
    // while stopped has set its flag by then.
    static void stop_process();

private:
    static constexpr std::array<int, 5> SIGNALS = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP};
    std::array<struct sigaction, SIGNALS.size()> previous_{};  // handlers to give back
};

}  // namespace skarvel
