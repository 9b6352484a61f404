// The two record files, score.txt and options.txt, as plain values: read at
// start-up, and saved whole when the game asks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace skarvel {

// score.txt, written "%d %d".
struct ScoreRecord {
    std::int32_t best_score = 0;  // the best score ever
    std::int32_t games_won = 0;   // the number of games won
    bool operator==(const ScoreRecord&) const = default;
};

// options.txt, written "%d %d %c %c %d". The game calls the field's columns
// its "length" and its rows its "width".
struct OptionsRecord {
    std::int32_t length = 40;  // columns of the field, borders included
    std::int32_t width = 20;   // rows of the field, borders included
    char colour = '1';         // colour scheme
    char display = '1';        // display mode
    std::int32_t level = 1;
    bool operator==(const OptionsRecord&) const = default;
};

inline constexpr const char* SCORE_FILE = "score.txt";
inline constexpr const char* OPTIONS_FILE = "options.txt";

// The two records of one run, kept in one folder.
class RecordStore {
public:
    explicit RecordStore(std::filesystem::path folder);  // "." is the working directory

    // Start-up: reads the fields in order into `into` and stops at the first
    // unreadable one; the rest keep their values. A file that cannot be
    // opened changes nothing. Values are taken as read.
    void load_score(ScoreRecord& into);
    void load_options(OptionsRecord& into);

    // Back after a finished game.
    void save_score(const ScoreRecord& run);
    // The options screens: the whole record; the last change wins.
    void save_options(const OptionsRecord& options);

    // Where a file of this folder lives.
    std::filesystem::path path_of(const char* name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};

}  // namespace skarvel
