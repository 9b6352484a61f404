// Where the game finds the files it only reads: help.txt in the records'
// folder, else beside the program, else in the installed data folder.
#pragma once

#include <filesystem>
#include <vector>

namespace skarvel {

inline constexpr const char* HELP_FILE = "help.txt";

// Where help.txt is looked up, in order: the records' folder first, so that
// a player's own text wins; then the running program's own folder (the build
// folder puts a copy there); then the installed data folders: the one beside
// the program (`../share/skarvel` from its folder, so that a tree installed
// under another prefix or moved still finds its own), then the one the build
// was configured for. `argv0` finds the program where /proc/self/exe cannot.
std::vector<std::filesystem::path> help_file_places(const std::filesystem::path& in_records_folder, const char* argv0);

// The running program's own file: from the kernel's `kernel_link` where it
// tells, else from how it was started (`argv0`: a path, or a name found on
// PATH); empty when unknown.
std::filesystem::path program_file(const char* argv0, const std::filesystem::path& kernel_link = "/proc/self/exe");

}  // namespace skarvel
