#include "records/records.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "console/scan.h"

namespace skarvel {

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

// A record file as a byte source for the scanf conversions.
struct FileSource {
    std::FILE* file;
    int last = EOF;
    int get() { return last = std::getc(file); }
    void unget() {
        if (last != EOF) std::ungetc(last, file);
    }
};

// Where a record lives: in the records' folder, else the working directory.
std::string record_path(const GameState& g, const char* name) {
    return g.records_dir.empty() ? name : g.records_dir + "/" + name;
}

bool write_all(int fd, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, text, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The permissions a new record gets: those of the record it replaces, else
// what the umask leaves of 0666, as a plain fopen would give.
mode_t record_mode(const char* name) {
    struct stat old {};
    if (::stat(name, &old) == 0) return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes `text` to a temporary file beside `name`, flushes it to disk and
// renames it over `name`, so a crash or a full disk never leaves half a
// record. A record that could not be opened for writing is left alone.
void save_file(const std::string& path, const char* text, std::size_t size) {
    const char* name = path.c_str();
    if (::access(name, W_OK) != 0 && errno != ENOENT) return;
    std::string temp = std::string(name) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return;
    const bool ok = ::fchmod(fd, record_mode(name)) == 0 && write_all(fd, text, size) && ::fsync(fd) == 0;
    if (::close(fd) == 0 && ok && std::rename(temp.c_str(), name) == 0) {
        // Make the rename itself durable.
        const auto slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return;
    }
    ::unlink(temp.c_str());
}

}  // namespace

void load_score(GameState& g) {
    const File file(std::fopen(record_path(g, F_SCO).c_str(), "r"));
    if (!file) return;
    FileSource in{file.get()};
    if (scan_int(in, g.h_score)) scan_int(in, g.survival);
}

void load_options(GameState& g) {
    const File file(std::fopen(record_path(g, F_OPT).c_str(), "r"));
    if (!file) return;
    FileSource in{file.get()};
    if (scan_int(in, g.max_r) && scan_int(in, g.max_l) && scan_char(in, g.color) &&
        scan_char(in, g.rev_mode)) {
        scan_int(in, g.lev);
    }
    // A damaged or hand-edited file must not give a field the grid cannot
    // hold, a level the drop odds cannot divide by, or a display mode
    // without glyphs: bring every setting into the range the screens keep.
    g.max_r = std::clamp(g.max_r, 3, 120);
    g.max_l = std::clamp(g.max_l, 8, 30);
    g.lev = std::clamp(g.lev, 1, 10);
    if (g.color < '1' || g.color > '8') g.color = '1';
    if (g.rev_mode != '1' && g.rev_mode != '2') g.rev_mode = '1';
}

void save_score(const GameState& g) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%d %d", g.h_score, g.survival);
    save_file(record_path(g, F_SCO), text, static_cast<std::size_t>(n));
}

void save_options(const GameState& g) {
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%d %d %c %c %d", g.max_r, g.max_l, g.color,
                                g.rev_mode, g.lev);
    save_file(record_path(g, F_OPT), text, static_cast<std::size_t>(n));
}

}  // namespace skarvel
