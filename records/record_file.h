// Reading and replacing the small files the game keeps: only regular files
// are read, and a save either replaces the whole file or leaves it as it was.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
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

// What a save over a record writes, made from what the file holds now: the
// file open for reading, or null where there is none.
using MergeFile = std::function<std::string(std::FILE* current)>;

// Replaces the whole content of `path` with `content`, or leaves the old file
// untouched and gives the reason. A symbolic link stays and its final target
// gets the content. The old file's permissions are kept; a new file gets what
// the umask leaves of 0666. A file whose permission bits let no one write it
// (root included) or that this process may not write, or a name taken by a
// FIFO, device, socket or folder, is never replaced.
//
// Copies of the game that save in one folder take turns through an exclusive
// lock on the folder of the file written (the link's target), waited for as
// long as a save can take; a save never runs without it, and fails where it
// cannot be had. Holding it, a save removes the temporary files earlier saves
// of the same file left behind when killed before they finished.
//
// The new content is renamed over the old name, so a file with several hard
// links gets a new inode under this name only: the other names keep the old
// content, as they would after any editor's atomic save.
std::error_code replace_file(const std::filesystem::path& path, std::string_view content);

// As replace_file, with the content `merge` makes, under the same lock, from
// what the file holds. A file that is there but cannot be opened or read
// fails the save; only a missing one gives `merge` null.
std::error_code update_file(const std::filesystem::path& path, const MergeFile& merge);

}  // namespace skarvel
