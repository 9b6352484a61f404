#include "console/signals.h"

#include <csignal>
#include <utility>

#include "console/terminal.h"

namespace skarvel {

namespace {

// Set by the handler; read by the waits.
volatile std::sig_atomic_t end_signal = 0;
volatile std::sig_atomic_t stop_requested = 0;
volatile std::sig_atomic_t resized = 0;

void note_signal(int signal) {
    if (signal == SIGTSTP) {
        stop_requested = 1;
    } else if (signal == SIGWINCH) {
        resized = 1;
    } else {
        end_signal = signal;
    }
}

}  // namespace

SignalGuard::SignalGuard() {
    end_signal = 0;
    stop_requested = 0;
    resized = 0;
    struct sigaction action {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    // A read goes on, so that curses never sees one cut short; the waits
    // (the key reader's poll, a sleep) return at once all the same.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) {
        sigaction(SIGNALS[i], &action, &previous_[i]);
        // Started where stopping is not wanted (no job control): it stays ignored.
        if (SIGNALS[i] == SIGTSTP && previous_[i].sa_handler == SIG_IGN) sigaction(SIGTSTP, &previous_[i], nullptr);
    }
}

SignalGuard::~SignalGuard() {
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &previous_[i], nullptr);
}

void SignalGuard::end_run_if_signalled() {
    if (end_signal != 0) throw RunEnded{RunEnded::Cause::signal, end_signal};
}

bool SignalGuard::consume_stop_request() { return std::exchange(stop_requested, 0) != 0; }

bool SignalGuard::consume_resize() { return std::exchange(resized, 0) != 0; }

void SignalGuard::stop_process() {
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    struct sigaction ours {};
    sigaction(SIGTSTP, &stop, &ours);
    (void)std::raise(SIGTSTP);  // returns once continued; signals pending meanwhile are handled first
    sigaction(SIGTSTP, &ours, nullptr);
}

}  // namespace skarvel
