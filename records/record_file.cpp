#include "records/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "records/folder_lock.h"

namespace skarvel {

namespace {

namespace fs = std::filesystem;

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

// Opens `path` for reading, never blocking, and gives its status in `st`: -1
// and no error where it holds no regular file, -1 and the reason where it
// cannot be opened or examined.
int open_for_reading(const fs::path& path, struct stat& st, std::error_code& error) {
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = last_error();
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || flags < 0 || (S_ISREG(st.st_mode) && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        error = last_error();
    }
    if (!error && S_ISREG(st.st_mode)) return fd;
    ::close(fd);
    return -1;
}

// True when the file changed between the two statuses.
bool changed(const struct stat& before, const struct stat& after) {
    return after.st_size != before.st_size || after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
           after.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
}

// Reads the regular file open at `fd`, whose status was `before`, up to
// RECORD_READ_LIMIT bytes. Fewer bytes than its size promised, or a size or
// modification time that differs afterwards, fail with EIO.
std::error_code read_whole(int fd, const struct stat& before, ReadBytes read, std::string& text) {
    text.resize(static_cast<std::size_t>(std::clamp<off_t>(before.st_size, 0, RECORD_READ_LIMIT)));
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return last_error();
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    struct stat after {};
    if (::fstat(fd, &after) != 0) return last_error();
    if (got < text.size() || changed(before, after)) return {EIO, std::generic_category()};
    return {};
}

// The bytes of the regular file `path`: none and no error where it holds
// none, none and the reason where it cannot be opened or read whole.
std::optional<std::string> read_regular_file(const fs::path& path, ReadBytes read, std::error_code& error) {
    struct stat st {};
    const Descriptor file(open_for_reading(path, st, error));
    if (file.get() < 0) return std::nullopt;
    std::string text;
    error = read_whole(file.get(), st, read, text);
    if (error) return std::nullopt;
    return text;
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
std::error_code copy_owner_and_mode(int fd, const struct stat* old) {
    if (old == nullptr) return ::fchmod(fd, new_file_mode()) == 0 ? std::error_code{} : last_error();
    if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
        // Where it may not, the file stays this process's: no fault. (A (void)
        // cast does not quiet the warning glibc asks for under _FORTIFY_SOURCE.)
        [[maybe_unused]] const int given = ::fchown(fd, old->st_uid, old->st_gid);
    }
    return ::fchmod(fd, old->st_mode & 0777) == 0 ? std::error_code{} : last_error();
}

// Why the file `old` at `target` may not be replaced: a folder, a FIFO,
// device or socket, a file whose permission bits let no one write it (root
// included), or one this process may not write.
std::error_code check_replaceable(const fs::path& target, const struct stat& old) {
    if (S_ISDIR(old.st_mode)) return {EISDIR, std::generic_category()};
    if (!S_ISREG(old.st_mode)) return record_error(RecordError::not_regular_file);
    if ((old.st_mode & 0222) == 0) return {EACCES, std::generic_category()};
    return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 ? std::error_code{} : last_error();
}

// A save of a name that is no symbolic link, its folder locked: a hidden
// temporary file beside it, written, flushed to disk and renamed over it.
std::error_code save_locked(const fs::path& target, const FolderLock& lock, std::string content, const MergeFile& merge,
                            ReadBytes read) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return last_error();
    if (const std::error_code error = exists ? check_replaceable(target, old) : std::error_code{}) return error;
    if (merge) {  // a missing file gives the merge none; one that cannot be read whole fails the save
        std::error_code error;
        const std::optional<std::string> current = read_regular_file(target, read, error);
        if (error && error != std::errc::no_such_file_or_directory) return error;
        content = merge(current);
    }
    // Hidden, beside the target: ".score.txt.XXXXXX".
    const std::string prefix = std::string(1, '.').append(target.filename().string()).append(1, '.');
    remove_leftovers(lock, prefix);
    std::string temp = (folder_of(target) / prefix).string().append("XXXXXX");
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return last_error();
    std::error_code error = copy_owner_and_mode(fd, exists ? &old : nullptr);
    if (!error) error = write_all(fd, content);
    if (!error && ::fsync(fd) != 0) error = last_error();
    if (::close(fd) != 0 && !error) error = last_error();
    if (!error && ::rename(temp.c_str(), target.c_str()) != 0) error = last_error();
    if (error) {
        ::unlink(temp.c_str());
        return error;
    }
    // Makes the rename survive a crash. A failure here changes nothing the
    // player could act on: the new record is in place either way.
    (void)::fsync(lock.folder());
    return {};
}

// Follows the links of `path`, locks the folder of the file it names and saves.
std::error_code save(const fs::path& path, std::string_view content, const MergeFile& merge,
                     const SaveOptions& options) {
    fs::path target = path;
    if (const std::error_code error = follow_links(target)) return error;
    const FolderLock lock(folder_of(target), options.lock_wait);
    if (lock.error()) return lock.error();
    return save_locked(target, lock, std::string(content), merge, options.read);
}

}  // namespace

FileHandle open_regular_file(const fs::path& path) {
    struct stat st {};
    std::error_code ignored;
    const int fd = open_for_reading(path, st, ignored);
    FileHandle file(fd >= 0 ? ::fdopen(fd, "r") : nullptr);
    if (!file && fd >= 0) ::close(fd);
    return file;
}

std::optional<std::string> read_record(const fs::path& path) {
    std::error_code ignored;
    return read_regular_file(path, ::read, ignored);
}

std::error_code replace_file(const fs::path& path, std::string_view content, const SaveOptions& options) {
    return save(path, content, nullptr, options);
}

std::error_code update_file(const fs::path& path, const MergeFile& merge, const SaveOptions& options) {
    return save(path, {}, merge, options);
}

}  // namespace skarvel
