#include "console/end_signals.h"

#include <csignal>

#include "console/terminal.h"

namespace skarvel {

namespace {

// Set by the handlers; read by the waits.
volatile std::sig_atomic_t end_signal = 0;
volatile std::sig_atomic_t stop_requested = 0;

void note_signal(int signal) {
    if (signal == SIGTSTP) {
        stop_requested = 1;
    } else {
        end_signal = signal;
    }
}

}  // namespace

EndSignalGuard::EndSignalGuard() {
    end_signal = 0;
    stop_requested = 0;
    struct sigaction action {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read must return
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) {
        sigaction(SIGNALS[i], &action, &previous_[i]);
        // Started where stopping is not wanted (no job control): it stays ignored.
        if (SIGNALS[i] == SIGTSTP && previous_[i].sa_handler == SIG_IGN) sigaction(SIGTSTP, &previous_[i], nullptr);
    }
}

EndSignalGuard::~EndSignalGuard() {
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &previous_[i], nullptr);
}

void EndSignalGuard::end_run_if_signalled() {
    if (end_signal != 0) throw RunEnded{end_signal};
}

bool EndSignalGuard::take_stop_request() {
    if (stop_requested == 0) return false;
    stop_requested = 0;
    return true;
}

void EndSignalGuard::stop_process() {
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    struct sigaction ours {};
    sigaction(SIGTSTP, &stop, &ours);
    (void)std::raise(SIGTSTP);  // returns once continued; signals pending meanwhile are handled first
    sigaction(SIGTSTP, &ours, nullptr);
}

}  // namespace skarvel
