// Keldry's Skarvel: start the terminal, run the game, give the terminal back.
#include <csignal>
#include <cstdio>
#include <string>

#include "console/curses_terminal.h"
#include "core/game_state.h"
#include "records/record_store.h"
#include "screens/screens.h"
#include "screens/settings.h"

int main() {
    using namespace skarvel;
    // A save over the file-size limit is a failed write, not the end of the run.
    std::signal(SIGXFSZ, SIG_IGN);
    RecordStore records(".");
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
        Session session{g, *term, records, {records.path_of(HELP_FILE)}};
        try {
            run_program(session);
        } catch (const RunEnded& ended) {
            signal = ended.signal;
            status = 1;
        }
        // However the run ended, a best score or a win the player was shown is kept.
        records.save_score_if_gained(score_of(g));
    }  // the terminal is restored here
    for (const std::string& line : records.failed_saves()) std::fprintf(stderr, "%s\n", line.c_str());
    if (signal != 0) {
        // End as the signal would have ended us, now that the terminal is back.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}
