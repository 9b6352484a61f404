#include "console/end_signals.h"

#include <csignal>

#include "console/terminal.h"

namespace skarvel {

namespace {

// Set by the handlers; read by the waits.
volatile std::sig_atomic_t end_signal = 0;

void note_end_signal(int signal) { end_signal = signal; }

}  // namespace

EndSignalGuard::EndSignalGuard() {
    end_signal = 0;
    struct sigaction action {};
    action.sa_handler = note_end_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read must return
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &action, &previous_[i]);
}

EndSignalGuard::~EndSignalGuard() {
    for (std::size_t i = 0; i < SIGNALS.size(); ++i) sigaction(SIGNALS[i], &previous_[i], nullptr);
}

void EndSignalGuard::end_run_if_signalled() {
    if (end_signal != 0) throw RunEnded{end_signal};
}

}  // namespace skarvel
