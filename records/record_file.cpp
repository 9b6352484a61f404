#include "records/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace skarvel {

namespace {

namespace fs = std::filesystem;

// The reason of the last failed system call.
std::error_code last_error() { return {errno, std::generic_category()}; }

// The one failure that has no errno of its own: a name that holds something
// other than a regular file or a folder.
class NotRegularFileCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "record file"; }
    std::string message(int) const override { return "Not a regular file"; }
};

// The reason given for a FIFO, device or socket where a file is to be saved.
std::error_code not_regular_file() {
    static const NotRegularFileCategory category;
    return {1, category};
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;  // the open descriptor, or -1
};

// An exclusive flock on a folder, held until destruction: the lock lives on
// the folder itself, so no lock file is left behind.
class FolderLock {
public:
    // Tries for a moment; goes on without the lock when it cannot be had.
    explicit FolderLock(const fs::path& folder) : folder_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        using namespace std::chrono_literals;
        if (folder_.get() < 0) return;
        for (int attempt = 0; attempt < 15; ++attempt) {
            if (::flock(folder_.get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
            std::this_thread::sleep_for(10ms);
        }
    }

private:
    Descriptor folder_;  // closing it releases the lock
};

// The folder that holds `path` ("." for a bare name).
fs::path folder_of(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

// Follows `path` through any chain of symbolic links to the name that holds
// the file itself, which need not exist yet (a dangling link gives its target).
std::error_code follow_links(fs::path& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? std::error_code{} : last_error();
        if (!S_ISLNK(st.st_mode)) return {};
        std::error_code error;
        const fs::path link = fs::read_symlink(path, error);
        if (error) return error;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return {ELOOP, std::generic_category()};
}

// Writes all of `content`, retrying short writes.
std::error_code write_all(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return last_error();
        if (n == 0) return {EIO, std::generic_category()};
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// The permissions of a new file: what the umask leaves of 0666.
mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the temporary file the owner and permissions of the file it replaces
// (the owner only where this process may), or those of a new file.
std::error_code take_over_attributes(int fd, const struct stat* old) {
    if (old == nullptr) return ::fchmod(fd, new_file_mode()) == 0 ? std::error_code{} : last_error();
    if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
        // Where it may not, the file stays this process's: no fault. (A (void)
        // cast does not quiet the warning glibc asks for under _FORTIFY_SOURCE.)
        [[maybe_unused]] const int given = ::fchown(fd, old->st_uid, old->st_gid);
    }
    return ::fchmod(fd, old->st_mode & 0777) == 0 ? std::error_code{} : last_error();
}

// Makes a finished rename in `folder` survive a crash. A failure here changes
// nothing the player could act on: the new record is in place either way.
void sync_folder(const fs::path& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

// replace_file on a name that is no symbolic link: a hidden temporary file
// beside it, written, flushed to disk and renamed over it.
std::error_code replace_target(const fs::path& target, std::string_view content) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return last_error();
    if (exists && S_ISDIR(old.st_mode)) return {EISDIR, std::generic_category()};
    if (exists && !S_ISREG(old.st_mode)) return not_regular_file();
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return last_error();

    const fs::path folder = folder_of(target);
    // Hidden, beside the target: ".score.txt.XXXXXX".
    std::string temp = (folder / std::string(1, '.').append(target.filename().string()).append(".XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return last_error();
    std::error_code error = take_over_attributes(fd, exists ? &old : nullptr);
    if (!error) error = write_all(fd, content);
    if (!error && ::fsync(fd) != 0) error = last_error();
    if (::close(fd) != 0 && !error) error = last_error();
    if (!error && ::rename(temp.c_str(), target.c_str()) != 0) error = last_error();
    if (error) {
        ::unlink(temp.c_str());
        return error;
    }
    sync_folder(folder);
    return {};
}

}  // namespace

FileHandle open_regular_file(const fs::path& path) {
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    FileHandle file(::fdopen(fd, "r"));
    if (!file) ::close(fd);
    return file;
}

std::error_code replace_file(const fs::path& path, std::string_view content) {
    fs::path target = path;
    if (const std::error_code error = follow_links(target)) return error;
    return replace_target(target, content);
}

std::error_code update_file(const fs::path& path, const std::function<std::string(std::FILE* current)>& merge) {
    fs::path target = path;
    if (const std::error_code error = follow_links(target)) return error;
    const FolderLock lock(folder_of(target));
    const std::string content = merge(open_regular_file(target).get());
    return replace_target(target, content);
}

}  // namespace skarvel
