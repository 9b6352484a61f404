// The command line: what the player asked for, the usage text and the version.
#pragma once

#include <string>

namespace skarvel {

struct CommandLine {
    enum class Action { play, show_usage, show_version, bad_usage };
    Action action = Action::play;  // what to do
    std::string records_dir;       // --dir: where score.txt and options.txt are kept; "" for the working directory
    std::string error;             // with bad_usage: what was wrong, in one line
};

// Reads the options in order; the first --help, --version or mistake decides.
CommandLine parse_command_line(int argc, char* argv[]);

// The text of --help and the line of --version, each ending in a line end.
const char* usage_text();
const char* version_line();

// Makes the records' folder and any missing folder above it; an existing
// folder is fine. On failure, says why in `why`.
bool make_records_dir(const std::string& dir, std::string& why);

}  // namespace skarvel
