#include "records/record_store.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "records/number_reader.h"
#include "records/record_file.h"

namespace skarvel {

namespace {

// A record's text past the UTF-8 byte-order mark some editors put first.
std::string_view skip_byte_order_mark(std::string_view text) {
    constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
    if (text.starts_with(BYTE_ORDER_MARK)) text.remove_prefix(BYTE_ORDER_MARK.size());
    return text;
}

// Reads best score and games won, in order, into `into`, up to the first
// unreadable one; true when both were read.
bool read_score(std::string_view text, ScoreRecord& into) {
    TextSource in{skip_byte_order_mark(text)};
    return scan_int(in, into.best_score) && scan_int(in, into.games_won);
}

// The score record to write when the file holds `current` (none when it is
// missing): the larger best score, and the file's games won plus the wins
// the run gained since `last`, stopping at the 32-bit maximum. What the file
// does not give (missing, or unreadable by the reading rules) is the run's.
ScoreRecord merge_score(const std::optional<std::string>& current, const ScoreRecord& run, const ScoreRecord& last) {
    ScoreRecord file = run;
    const bool both = current && read_score(*current, file);
    ScoreRecord merged = run;
    merged.best_score = std::max(file.best_score, run.best_score);
    if (both) {
        constexpr std::int64_t max = std::numeric_limits<std::int32_t>::max();
        const std::int64_t gained = std::max<std::int64_t>(std::int64_t{run.games_won} - last.games_won, 0);
        merged.games_won = static_cast<std::int32_t>(std::min(file.games_won + gained, max));
    }
    return merged;
}

// The score record as the file holds it: "%d %d", no line end.
std::string format_score(const ScoreRecord& score) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%d %d", score.best_score, score.games_won);
    return {text, static_cast<std::size_t>(n)};
}

}  // namespace

RecordStore::RecordStore(std::filesystem::path folder, SaveOptions saving)
    : folder_(std::move(folder)), saving_(saving) {}

void RecordStore::load_score(ScoreRecord& into) {
    if (const std::optional<std::string> text = read_record(path_of(SCORE_FILE))) read_score(*text, into);
    last_score_ = into;
}

void RecordStore::load_options(OptionsRecord& into) {
    const std::optional<std::string> text = read_record(path_of(OPTIONS_FILE));
    if (!text) return;
    TextSource in{skip_byte_order_mark(*text)};
    for (OptionField& field : into) {
        char c = 0;
        if (field.format == FieldFormat::number ? !scan_int(in, field.value) : !scan_char(in, c)) return;
        if (field.format == FieldFormat::character) field.value = static_cast<unsigned char>(c);
    }
}

void RecordStore::save_score(const ScoreRecord& run) {
    const std::error_code error = update_file(
        path_of(SCORE_FILE),
        [&](const std::optional<std::string>& current) { return format_score(merge_score(current, run, last_score_)); },
        saving_);
    note_outcome(SCORE_FILE, error);
    if (!error) last_score_ = run;
}

void RecordStore::save_score_if_gained(const ScoreRecord& run) {
    if (run.games_won > last_score_.games_won || run.best_score > last_score_.best_score) save_score(run);
}

void RecordStore::save_options(const OptionsRecord& options) {
    std::string text;
    for (const OptionField& field : options) {
        if (!text.empty()) text += ' ';
        if (field.format == FieldFormat::number) {
            text += std::to_string(field.value);
        } else {
            text += static_cast<char>(field.value);
        }
    }
    note_outcome(OPTIONS_FILE, replace_file(path_of(OPTIONS_FILE), text, saving_));
}

std::vector<std::string> RecordStore::failed_saves() const {
    std::vector<std::string> lines;
    for (const auto& failure : failures_) lines.push_back(failure.second);
    return lines;
}

std::filesystem::path RecordStore::path_of(const char* name) const {
    if (folder_.empty() || folder_ == ".") return name;
    return folder_ / name;
}

void RecordStore::note_outcome(const char* name, std::error_code error) {
    const auto failed =
        std::find_if(failures_.begin(), failures_.end(), [&](const auto& f) { return f.first == name; });
    if (!error) {
        if (failed != failures_.end()) failures_.erase(failed);
    } else if (failed == failures_.end()) {
        failures_.emplace_back(name, "skarvel: cannot save " + path_of(name).string() + ": " + error.message());
    }
}

}  // namespace skarvel
