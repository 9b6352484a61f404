// score.txt and options.txt holding arbitrary bytes, read as the program
// reads them at start-up, in a folder of their own. (The "%d" and " %c"
// rules the readers follow are held against a plain reading by the scan
// target.)
//  - The score is the plain reading's. A setting the game's reader takes
//    inside the range the options screens keep stays as read; one outside
//    comes back inside it when the game takes it.
//  - Whatever was read, a field of that size can be built, drawn and played
//    a move on (index checks are on: _GLIBCXX_ASSERTIONS).
//  - Saving what was read and reading it back gives the same values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "bench/null_terminal.h"
#include "core/game_state.h"
#include "core/turn.h"
#include "fuzz/fuzz_support.h"
#include "records/record_store.h"
#include "screens/settings.h"

using namespace skarvel;
using namespace skarvel::fuzz;

namespace {

void write_file(const char* name, std::string_view bytes) {
    std::FILE* f = std::fopen(name, "wb");
    check(f != nullptr, "cannot write a record file in the fuzz folder");
    check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "short write");
    std::fclose(f);
}

bool within(std::int32_t v, std::int32_t low, std::int32_t high) { return v >= low && v <= high; }

// A setting read inside its range is kept as read; one outside comes back inside.
void check_setting(std::int32_t got, std::int32_t read, std::int32_t low, std::int32_t high, const char* what) {
    check(within(got, low, high), what);
    if (within(read, low, high)) check(got == read, what);
}

// The folder the record files are written in, removed at the end of the run.
char folder[] = "/dev/shm/skarvel-fuzz-XXXXXX";
char fallback[] = "/tmp/skarvel-fuzz-XXXXXX";
const char* fuzz_folder = nullptr;

void remove_folder() {
    std::remove(SCORE_FILE);
    std::remove(OPTIONS_FILE);
    if (::chdir("/") == 0) ::rmdir(fuzz_folder);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_folder = ::mkdtemp(folder);
    if (fuzz_folder == nullptr) fuzz_folder = ::mkdtemp(fallback);
    check(fuzz_folder != nullptr && ::chdir(fuzz_folder) == 0, "no folder to fuzz in");
    std::atexit(remove_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    write_file(SCORE_FILE, bytes);
    write_file(OPTIONS_FILE, bytes);

    RecordStore records(".");
    ScoreRecord score;
    records.load_score(score);
    OptionsRecord stored = options_of(GameState{});  // what the file does not give keeps the default
    records.load_options(stored);

    // The score: taken unchanged, as far as it reads, after a byte-order mark.
    ScoreRecord want;
    const std::string_view text = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    if (const Expected best = expect_int(text, 0); best.ok) {
        want.best_score = best.value;
        if (const Expected won = expect_int(text, best.end); won.ok) want.games_won = won.value;
    }
    check(score == want, "score.txt read otherwise than planned");

    // The settings, in the game: as read when in range, brought into range when not.
    GameState g;
    apply_options(stored, g);
    const OptionsRecord kept = options_of(g);
    for (std::size_t i = 0; i < OPTIONS.size(); ++i) {
        const Option& option = OPTIONS[i];
        const int digit = option.format == FieldFormat::character ? '0' : 0;  // how the range is stored
        check_setting(kept[i].value, stored[i].value, option.min + digit, option.max + digit, option.name);
    }

    // Play a move on what was read: a field, the spawners, a redraw.
    NullTerminal term;
    term.now += static_cast<std::int64_t>(size);
    build_field(g);
    g.row = g.rows / 2;
    g.col = g.cols / 2;
    g.placements_to_win = (g.rows - 2) * (g.cols - 2) - 2;
    g.lives_held = 1;
    check(play_turn(g, term) == Outcome::plain_move, "the first move of a game ends it");

    // Saved and read back, the values stay.
    records.save_score(score);
    records.save_options(kept);
    ScoreRecord score_again;
    records.load_score(score_again);
    OptionsRecord options_again = options_of(GameState{});
    records.load_options(options_again);
    check(score_again == score, "score.txt changes on a round trip");
    check(options_again == kept, "options.txt changes on a round trip");
    return 0;
}
