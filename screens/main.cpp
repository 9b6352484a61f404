// Keldry's Skarvel: read the command line, start the terminal, run the game,
// give the terminal back.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "console/curses_terminal.h"
#include "core/game_state.h"
#include "core/glyphs.h"
#include "records/record_store.h"
#include "screens/command_line.h"
#include "screens/data_files.h"
#include "screens/screens.h"
#include "screens/settings.h"

namespace {

// One line on standard error; where even that fails there is no one left to tell.
void print_error(const std::string& line) { (void)std::fprintf(stderr, "skarvel: %s\n", line.c_str()); }

// Prints the answer to --help or --version; a failed write fails the run.
int print_answer(const char* text) {
    if (std::fputs(text, stdout) < 0 || std::fflush(stdout) != 0) {
        std::perror("skarvel: cannot write");
        return 1;
    }
    return 0;
}

// Memory set aside at start and released by the first allocation that
// fails, so that its std::bad_alloc can still be made, thrown and reported:
// where memory is that short the library has none left for an exception.
void* memory_reserve = nullptr;  // the one place a new-handler can reach

void release_memory_reserve() {
    std::free(memory_reserve);
    memory_reserve = nullptr;
    std::set_new_handler(nullptr);  // the allocation tried again throws if it still fails
}

// The whole run; std::bad_alloc reaches main.
int run(int argc, char* argv[]) {
    using namespace skarvel;
    const CommandLine command = parse_command_line(argc, argv);
    switch (command.action) {
        case CommandLine::Action::show_usage: return print_answer(usage_text());
        case CommandLine::Action::show_version: return print_answer(version_line());
        case CommandLine::Action::bad_usage:
            print_error(command.error + "\nTry 'skarvel --help' for more information.");
            return 2;
        case CommandLine::Action::play: break;
    }
    // Without a terminal on both ends curses refuses the start below, and
    // says why; a run that cannot start makes no folder.
    const bool on_terminal = ::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1;
    if (std::string why; on_terminal && !command.records_dir.empty() && !make_records_dir(command.records_dir, why)) {
        print_error(why);
        return 1;
    }
    // A save over the file-size limit is a failed write, not the end of the run.
    (void)std::signal(SIGXFSZ, SIG_IGN);  // cannot fail for a signal that exists

    RecordStore records(command.records_dir.empty() ? "." : command.records_dir);
    std::optional<RunEnded> ended;
    {
        std::string why;
        const auto term = open_curses_terminal(picture_stand_ins(), why);
        if (!term) {
            print_error(why);
            return 1;
        }
        GameState g;  // the one record of the run
        Session session{g, *term, records, help_file_places(records.path_of(HELP_FILE), argv[0])};
        try {
            run_program(session);
        } catch (const RunEnded& end) {
            ended = end;
        }
        // However the run ended, a best score or a win the player was shown is kept.
        records.save_score_if_gained(score_of(g));
    }  // the terminal is restored here
    // Written even where the run ended while stopped, in the background, on a terminal that stops background output.
    (void)std::signal(SIGTTOU, SIG_IGN);
    if (ended && ended->cause == RunEnded::Cause::out_of_memory) print_error("out of memory");
    for (const std::string& line : records.failed_saves()) (void)std::fprintf(stderr, "%s\n", line.c_str());
    if (!ended) return 0;
    // End as the signal would have ended us, now that the terminal is back;
    // where that cannot be, with a failing status.
    if (ended->cause == RunEnded::Cause::signal && std::signal(ended->signal, SIG_DFL) != SIG_ERR) {
        (void)std::raise(ended->signal);
    }
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    constexpr std::size_t RESERVE_BYTES = std::size_t{64} * 1024;
    memory_reserve = std::malloc(RESERVE_BYTES);
    if (memory_reserve == nullptr) {
        print_error("out of memory");
        return 1;
    }
    std::set_new_handler(release_memory_reserve);
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {  // the terminal, if it was started, is restored by now
        print_error("out of memory");
        return 1;
    }
}
