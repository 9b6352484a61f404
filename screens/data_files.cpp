#include "screens/data_files.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "screens/build_settings.h"

namespace skarvel {

namespace fs = std::filesystem;

fs::path program_file(const char* argv0, const fs::path& kernel_link) {
    std::error_code error;
    if (fs::path self = fs::read_symlink(kernel_link, error); !error) return self;
    if (argv0 == nullptr || *argv0 == '\0') return {};
    const std::string_view name = argv0;
    if (name.find('/') != std::string_view::npos) return fs::canonical(name, error);
    const char* path = std::getenv("PATH");
    for (std::string_view rest = path != nullptr ? path : ""; !rest.empty();) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return fs::canonical(candidate, error);
    }
    return {};
}

std::vector<fs::path> help_file_places(const fs::path& in_records_folder, const char* argv0) {
    std::vector<fs::path> places{in_records_folder};
    if (const fs::path program = program_file(argv0); program.has_parent_path()) {
        places.push_back(program.parent_path() / HELP_FILE);
        places.push_back(program.parent_path() / SKARVEL_DATA_FROM_BIN / HELP_FILE);
    }
    places.push_back(fs::path(SKARVEL_DATA_DIR) / HELP_FILE);
    return places;
}

}  // namespace skarvel
