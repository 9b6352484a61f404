// The two records a run keeps from one run to the next, as plain values: the
// best score and games won, and the settings of the options screens.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "records/record_file.h"

namespace skarvel {

// score.txt, written "%d %d".
struct ScoreRecord {
    std::int32_t best_score = 0;  // the best score ever
    std::int32_t games_won = 0;   // the number of games won
    bool operator==(const ScoreRecord&) const = default;
};

// options.txt: fields in a fixed order, each a number ("%d") or a single
// character ("%c"), separated by blanks, without a line end; today "%d %d
// %c %c %d". Which fields there are is the game's table of options
// (screens/settings.h). No defaults of its own: start-up fills it with the
// game's settings before it reads the file, so an older file with fewer
// fields keeps the rest.
enum class FieldFormat : unsigned char { number, character };
struct OptionField {
    FieldFormat format = FieldFormat::number;
    std::int32_t value = 0;  // a character field holds its byte, 0..255
    bool operator==(const OptionField&) const = default;
};
using OptionsRecord = std::vector<OptionField>;

inline constexpr const char* SCORE_FILE = "score.txt";
inline constexpr const char* OPTIONS_FILE = "options.txt";

// The two records of one run, kept in one folder.
class RecordStore {
public:
    // "." is the working directory; `saving` as record_file's saves take it.
    explicit RecordStore(std::filesystem::path folder, SaveOptions saving = {});

    // Start-up: reads the fields in order into `into` and stops at the first unreadable one;
    // the rest keep their values. A file that cannot be opened (or is not a regular file) changes nothing.
    // Values are taken as read: no range is enforced here (the game does that).
    void load_score(ScoreRecord& into);
    void load_options(OptionsRecord& into);

    // Back after a finished game: always writes, merged with what the file holds now.
    void save_score(const ScoreRecord& run);
    // The end of the run: writes (merged) only when the run gained something since it last read
    // or wrote the record: a win, or a best score above the one it last read or wrote.
    void save_score_if_gained(const ScoreRecord& run);
    // The options screens: the whole record; the last change wins.
    void save_options(const OptionsRecord& options);

    // One line per file whose last save failed, e.g. "skarvel: cannot save options.txt: Permission denied":
    // the first reason since the file was last saved. A later save that succeeds clears it.
    std::vector<std::string> failed_saves() const;

    // Where a file of this folder lives (the help screen looks for help.txt here first).
    std::filesystem::path path_of(const char* name) const;

private:
    // Remembers the first failed save of the file `name` since it was last saved, or forgets it after a save.
    void note_outcome(const char* name, std::error_code error);

    std::filesystem::path folder_;  // the folder of both records
    SaveOptions saving_;            // how the saves go about it
    ScoreRecord last_score_;        // the run's values when it last read or wrote score.txt
    std::vector<std::pair<std::string, std::string>> failures_;  // file name and its report line
};

}  // namespace skarvel
