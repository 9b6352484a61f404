// Keldry's Skarvel: start the terminal, run the game, give the terminal back.
#include <csignal>
#include <cstdio>

#include "console/curses_terminal.h"
#include "core/game_state.h"
#include "screens/screens.h"

int main() {
    using namespace skarvel;
    int signal = 0;
    int status = 0;
    {
        std::string why;
        const auto term = open_curses_terminal(why);
        if (!term) {
            std::fprintf(stderr, "skarvel: %s\n", why.c_str());
            return 1;
        }
        GameState g;  // the one record of the run
        try {
            status = run(g, *term);
        } catch (const RunEnded& ended) {
            signal = ended.signal;
            status = 1;
        }
    }  // the terminal is restored here
    if (signal != 0) {
        // End as the signal would have ended us, now that the terminal is back.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}
