// The signals the game catches while the terminal is open: those that end a
// run (Ctrl-C, Ctrl-\, SIGTERM and SIGHUP), Ctrl-Z (SIGTSTP) and a resize of
// the window (SIGWINCH). Each only sets a flag, which the terminal's waits
// act on: an end signal becomes the end of the run (RunEnded), so the
// terminal is restored by ordinary unwinding and only then does the signal's
// own action end the process; Ctrl-Z becomes a stop with the terminal given
// back; a resize, curses sized to the window again. Installed before curses
// starts, so that curses leaves all of them to the guard.
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

    // Ends the run by throwing RunEnded if one of the end signals has come.
    static void end_run_if_signalled();

    // True once for a Ctrl-Z, or a resize, that has come since it was last asked.
    static bool take_stop_request();
    static bool take_resize();

    // Stops the process as Ctrl-Z does by default; returns when it is
    // continued, with the guard's handler back. An end signal that came
    // while stopped has set its flag by then.
    static void stop_process();

private:
    static constexpr std::array<int, 6> SIGNALS = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGWINCH};
    std::array<struct sigaction, SIGNALS.size()> previous_{};  // handlers to give back
};

}  // namespace skarvel
