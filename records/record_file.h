// Reading and replacing the small files the game keeps: only regular files
// are read, and a save either replaces the whole file or leaves it as it was.
#pragma once

#include <sys/types.h>  // ssize_t
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace skarvel {

// Closes a FILE* owned by a FileHandle.
struct CloseFile {
    // Only read: a failed close loses nothing.
    void operator()(std::FILE* file) const { (void)std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, CloseFile>;

// Opens `path` for reading when it is a regular file (a symbolic link is
// followed); a FIFO, device, socket or folder gives null like a missing file.
// Never blocks, whatever the name turns out to be.
FileHandle open_regular_file(const std::filesystem::path& path);

// The most of a record that is read: records are a few bytes, and what lies
// beyond this is ignored, so a huge file costs neither time nor memory.
inline constexpr std::size_t RECORD_READ_LIMIT = std::size_t{64} * 1024;

// The read(2) a record's bytes come through: ::read, or a stub in the tests.
using ReadBytes = ssize_t (*)(int fd, void* buffer, std::size_t size);

// How a save goes about it: the game's ways by default; the tests shorten
// the wait and stub the read.
struct SaveOptions {
    // How long a save waits for the folder lock another copy's save holds:
    // as long as a save can take on a slow disk.
    std::chrono::milliseconds lock_wait = std::chrono::seconds(10);
    ReadBytes read = ::read;  // the read(2) a merge re-reads the record through
};

// The bytes of the record `path` (the first RECORD_READ_LIMIT of them), when
// it is a regular file read whole; none where it is missing, no regular file,
// cannot be read, or reads shorter than its size or changes while read.
// Never blocks, as open_regular_file.
std::optional<std::string> read_record(const std::filesystem::path& path);

// What a save over a record writes, made from what the file holds now, read
// as read_record reads it: its bytes, or none where there is no file.
using MergeFile = std::function<std::string(const std::optional<std::string>& current)>;

// Replaces the whole content of `path` with `content`, or leaves the old file
// untouched and gives the reason. A symbolic link stays and its final target
// gets the content. The old file's permissions are kept; a new file gets what
// the umask leaves of 0666. A file whose permission bits let no one write it
// (root included) or that this process may not write, or a name taken by a
// FIFO, device, socket or folder, is never replaced.
//
// Copies of the game that save in one folder take turns through an exclusive
// lock on the folder of the file written (the link's target), waited for up
// to `options.lock_wait`; a save never runs without it, and fails where it
// cannot be had. Holding it, a save removes the temporary files earlier saves
// of the same file left behind when killed before they finished.
//
// The new content is renamed over the old name, so a file with several hard
// links gets a new inode under this name only: the other names keep the old
// content, as they would after any editor's atomic save.
std::error_code replace_file(const std::filesystem::path& path, std::string_view content,
                             const SaveOptions& options = {});

// As replace_file, with the content `merge` makes, under the same lock, from
// what the file holds. A file that is there but cannot be opened or read
// whole (fewer bytes than its size, or changed while read: EIO) fails the
// save; only a missing one gives `merge` none.
std::error_code update_file(const std::filesystem::path& path, const MergeFile& merge, const SaveOptions& options = {});

}  // namespace skarvel
