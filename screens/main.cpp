// Keldry's Skarvel: start the terminal, run the game, give the terminal back.
#include <csignal>
#include <cstdio>
#include <string>

#include "console/curses_terminal.h"
#include "core/game_state.h"
#include "records/record_store.h"
#include "screens/screens.h"

int main() {
    using namespace skarvel;
    // A save over the file-size limit is a failed write, not the end of the run.
    std::signal(SIGXFSZ, SIG_IGN);
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
        RecordStore records(".");
        Session session{g, *term, records, {records.path_of(HELP_FILE)}};
        try {
            run_program(session);
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
