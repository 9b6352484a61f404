// The signals the game catches while the terminal is open: the end signals
// (Ctrl-C, Ctrl-\, SIGTERM, SIGHUP), Ctrl-Z (SIGTSTP) and a resize
// (SIGWINCH). Each only sets a flag, which the terminal's waits act on: an
// end signal becomes the end of the run (RunEnded), so the terminal is
// restored by ordinary unwinding before the signal's own action ends the
// process; Ctrl-Z a stop with the terminal restored; a resize, curses
// resized. Installed before curses starts, which then leaves them alone.
#pragma once

#include <signal.h>

#include <array>

namespace skarvel {

class SignalGuard {
public:
    SignalGuard();   // installs the handlers (Ctrl-Z's only where it is not ignored)
    ~SignalGuard();  // puts back the ones there were
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

    // Throws RunEnded if an end signal has come.
    static void end_run_if_signalled();
    // True once for each Ctrl-Z, and once for each resize.
    static bool consume_stop_request();
    static bool consume_resize();
    // Stops the process as Ctrl-Z does by default; returns once it is
    // continued, with the flag of any end signal that came meanwhile set.
    static void stop_process();

private:
    static constexpr std::array<int, 6> SIGNALS = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGWINCH};
    std::array<struct sigaction, SIGNALS.size()> previous_{};  // the handlers to put back
};

}  // namespace skarvel
