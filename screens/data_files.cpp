#include "screens/data_files.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "screens/screens.h"

namespace skarvel {

namespace {

std::string join(const std::string& dir, const char* name) { return dir.empty() ? name : dir + "/" + name; }

struct FreeMemory {
    void operator()(char* p) const { std::free(p); }
};

// The absolute path of `path`, links resolved; "" if it does not exist.
std::string real_path(const char* path) {
    const std::unique_ptr<char, FreeMemory> real(::realpath(path, nullptr));
    return real ? real.get() : "";
}

// The running program's own file: from the kernel where it tells, else from
// how it was started (a path, or a name found on PATH).
std::string find_program(const char* argv0) {
    char link[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", link, sizeof link - 1);
    if (n > 0) return std::string(link, static_cast<std::size_t>(n));
    if (argv0 == nullptr || *argv0 == '\0') return "";
    if (std::strchr(argv0, '/') != nullptr) return real_path(argv0);
    const char* path = std::getenv("PATH");
    for (std::string rest = path ? path : ""; !rest.empty();) {
        const std::size_t colon = rest.find(':');
        const std::string dir = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        const std::string candidate = join(dir.empty() ? "." : dir, argv0);
        if (::access(candidate.c_str(), X_OK) == 0) return real_path(candidate.c_str());
    }
    return "";
}

}  // namespace

std::vector<std::filesystem::path> installed_data_dirs(const char* argv0) {
    std::vector<std::filesystem::path> dirs;
    const std::string program = find_program(argv0);
    if (const std::size_t slash = program.rfind('/'); slash != std::string::npos) {
        dirs.emplace_back(program.substr(0, slash + 1) + SKARVEL_DATA_FROM_BIN);
    }
    dirs.emplace_back(SKARVEL_DATA_DIR);
    return dirs;
}

std::vector<std::filesystem::path> help_file_places(const std::filesystem::path& in_records_folder, const char* argv0) {
    std::vector<std::filesystem::path> places{in_records_folder};
    for (const std::filesystem::path& dir : installed_data_dirs(argv0)) places.push_back(dir / HELP_FILE);
    return places;
}

}  // namespace skarvel
