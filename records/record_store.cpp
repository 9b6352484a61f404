#include "records/record_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "records/number_reader.h"

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
void save_file(const char* name, const char* text, std::size_t size) {
    if (::access(name, W_OK) != 0 && errno != ENOENT) return;
    std::string temp = std::string(name) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return;
    const bool ok = ::fchmod(fd, record_mode(name)) == 0 && write_all(fd, text, size) && ::fsync(fd) == 0;
    if (::close(fd) == 0 && ok && std::rename(temp.c_str(), name) == 0) {
        // Make the rename itself durable.
        const int dir = ::open(".", O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return;
    }
    ::unlink(temp.c_str());
}

}  // namespace

RecordStore::RecordStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

void RecordStore::load_score(ScoreRecord& into) {
    const File file(std::fopen(path_of(SCORE_FILE).c_str(), "r"));
    if (!file) return;
    FileSource in{file.get()};
    if (scan_int(in, into.best_score)) scan_int(in, into.games_won);
}

void RecordStore::load_options(OptionsRecord& into) {
    const File file(std::fopen(path_of(OPTIONS_FILE).c_str(), "r"));
    if (!file) return;
    FileSource in{file.get()};
    if (scan_int(in, into.length) && scan_int(in, into.width) && scan_char(in, into.colour) &&
        scan_char(in, into.display)) {
        scan_int(in, into.level);
    }
}

void RecordStore::save_score(const ScoreRecord& run) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%d %d", run.best_score, run.games_won);
    save_file(path_of(SCORE_FILE).c_str(), text, static_cast<std::size_t>(n));
}

void RecordStore::save_options(const OptionsRecord& options) {
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%d %d %c %c %d", options.length, options.width,
                                options.colour, options.display, options.level);
    save_file(path_of(OPTIONS_FILE).c_str(), text, static_cast<std::size_t>(n));
}

}  // namespace skarvel
