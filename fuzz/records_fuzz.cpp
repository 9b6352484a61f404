// score.txt and options.txt holding arbitrary bytes, read as the program
// reads them at start-up, in a folder of their own.
//  - Every field read is the plain reading's; a setting outside the range the
//    options screens keep comes back inside it, and nothing past the first
//    unreadable field changes.
//  - Whatever was read, a field of that size can be built, drawn and played
//    a move on (index checks are on: _GLIBCXX_ASSERTIONS).
//  - Saving what was read and reading it back gives the same values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/display.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "fuzz/fuzz_support.h"
#include "records/records.h"

using namespace skarvel;
using namespace skarvel::fuzz;

namespace {

void write_file(const char* name, std::string_view bytes) {
    std::FILE* f = std::fopen(name, "wb");
    check(f != nullptr, "cannot write a record file in the fuzz folder");
    check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "short write");
    std::fclose(f);
}

// Reads "%d %d %c %c %d" the plain way into the fields, stopping at the first
// field that cannot be read.
void plain_options(std::string_view s, GameState& g) {
    std::size_t p = 0;
    const auto field = [&](bool character, auto& out) {
        const Expected e = character ? expect_char(s, p) : expect_int(s, p);
        if (!e.ok) return false;
        out = static_cast<std::remove_reference_t<decltype(out)>>(e.value);
        p = e.end;
        return true;
    };
    if (field(false, g.max_r) && field(false, g.max_l) && field(true, g.color) && field(true, g.rev_mode)) {
        field(false, g.lev);
    }
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
    std::remove(F_SCO);
    std::remove(F_OPT);
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
    write_file(F_SCO, bytes);
    write_file(F_OPT, bytes);

    GameState g;
    load_score(g);
    load_options(g);

    // The score: taken unchanged, as far as it reads.
    GameState want;
    if (const Expected best = expect_int(bytes, 0); best.ok) {
        want.h_score = best.value;
        if (const Expected won = expect_int(bytes, best.end); won.ok) want.survival = won.value;
    }
    check(g.h_score == want.h_score && g.survival == want.survival, "score.txt read otherwise than planned");

    // The settings: as read when in range, brought into range when not.
    GameState read;
    plain_options(bytes, read);
    check_setting(g.max_r, read.max_r, 3, 120, "field length");
    check_setting(g.max_l, read.max_l, 8, 30, "field width");
    check_setting(g.lev, read.lev, 1, 10, "level");
    check_setting(g.color, read.color, '1', '8', "colour scheme");
    check(g.rev_mode == '1' || g.rev_mode == '2', "display mode");
    if (read.rev_mode == '1' || read.rev_mode == '2') check(g.rev_mode == read.rev_mode, "display mode");

    // Play on what was read: a field, a move's spawners, a redraw.
    QuietTerminal term;
    term.now += static_cast<std::int64_t>(size);
    rev(g, g.rev_mode);
    build(g);
    g.x = g.max_l / 2;
    g.y = g.max_r / 2;
    g.left = (g.max_l - 2) * (g.max_r - 2) - 1;
    g.live_left = 1;
    g.map[g.x][g.y] = g.glyphs.player;
    powers(g, term, 1);
    lives(g, term);
    bombs(g, term);
    print(g, term);

    // Saved and read back, the values stay.
    save_score(g);
    save_options(g);
    GameState again;
    load_score(again);
    load_options(again);
    check(again.h_score == g.h_score && again.survival == g.survival, "score.txt changes on a round trip");
    check(again.max_r == g.max_r && again.max_l == g.max_l && again.color == g.color &&
              again.rev_mode == g.rev_mode && again.lev == g.lev,
          "options.txt changes on a round trip");
    return 0;
}
